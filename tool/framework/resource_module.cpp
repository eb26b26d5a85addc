#include "resource_module.h"

#include <QIcon>
#include <map>
#include <memory>
#include <utility>

namespace {

const ResourceModule kNoResources{
    .findDialog = [](UINT) -> const DialogTemplate* { return nullptr; },
    .findString = [](UINT) -> const char* { return nullptr; },
    .iconFile = [](UINT) -> const char* { return nullptr; },
    .version = nullptr,
};

const ResourceModule* g_module = &kNoResources;

}  // namespace

void AfxSetResourceHandle(const ResourceModule* module) {
    g_module = module != nullptr ? module : &kNoResources;
}

const ResourceModule& AfxGetResourceHandle() { return *g_module; }

HICON AfxLoadIcon(UINT id) {
    // Never destroyed: icons outlive the application object, as handed-out handles must.
    static auto* icons =
        new std::map<std::pair<const ResourceModule*, UINT>, std::unique_ptr<QIcon>>;
    const auto key = std::make_pair(g_module, id);
    if (auto found = icons->find(key); found != icons->end()) {
        return found->second.get();
    }
    const char* file = g_module->iconFile(id);
    if (file == nullptr) {
        return nullptr;
    }
    return icons->emplace(key, std::make_unique<QIcon>(QString::fromUtf8(file)))
        .first->second.get();
}

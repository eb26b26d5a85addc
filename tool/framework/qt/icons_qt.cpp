#include <QIcon>
#include <map>
#include <memory>
#include <utility>

#include "qt_handles.h"
#include "resource_module.h"

HICON AfxLoadIcon(UINT id) {
    // Never destroyed: icons outlive the application object, as handed-out handles must.
    static auto* icons =
        new std::map<std::pair<const ResourceModule*, UINT>, std::unique_ptr<QIcon>>;
    const ResourceModule* module = &AfxGetResourceHandle();
    const auto key = std::make_pair(module, id);
    if (auto found = icons->find(key); found != icons->end()) {
        return HandleOf(found->second.get());
    }
    const char* file = module->iconFile(id);
    if (file == nullptr) {
        return nullptr;
    }
    return HandleOf(
        icons->emplace(key, std::make_unique<QIcon>(QString::fromUtf8(file))).first->second.get());
}

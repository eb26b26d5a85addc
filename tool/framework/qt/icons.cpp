#include <QIcon>
#include <map>
#include <memory>
#include <utility>

#include "backend.h"
#include "qt_handles.h"
#include "resource_module.h"

HICON backend::LoadIcon(const ResourceModule& module, UINT id) {
    // Never destroyed: icons outlive the application object, as handed-out handles must.
    static auto* icons =
        new std::map<std::pair<const ResourceModule*, UINT>, std::unique_ptr<QIcon>>;
    const auto key = std::make_pair(&module, id);
    auto found = icons->find(key);
    if (found == icons->end()) {
        const QString file = QString::fromUtf8(module.iconFile(id));
        found = icons->emplace(key, std::make_unique<QIcon>(file)).first;
    }
    return HandleOf(found->second.get());
}

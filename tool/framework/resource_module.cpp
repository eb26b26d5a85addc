#include "resource_module.h"

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

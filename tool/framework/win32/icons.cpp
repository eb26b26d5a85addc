#include "backend.h"

// The executable's icon resource of that ID at the system's icon size. Shared: the system loads it
// once and hands out the same handle, for the life of the program.
HICON backend::LoadIcon(const ResourceModule&, UINT id) {
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                         IMAGE_ICON, GetSystemMetrics(SM_CXICON),
                                         GetSystemMetrics(SM_CYICON), LR_SHARED));
}

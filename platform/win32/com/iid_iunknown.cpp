#include <unknwn.h>

// The layer's own identity: only compared, never interpreted.
const IID IID_IUnknown = {0x00000000u, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

#include "version/vfx_pointer.h"

const CRuntimeClass CVFXPointer::classCVFXPointer{"CVFXPointer", &CObject::classCObject};

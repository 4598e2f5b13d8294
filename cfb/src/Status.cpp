// Descriptions of the library's status values.
#include "cfb/Storage.h"

namespace cfb {

const char* StatusText(Status status) {
    switch (status) {
    case Status::Ok:
        return "ok";
    case Status::InvalidFunction:
        return "invalid function";
    case Status::FileNotFound:
        return "file or element not found";
    case Status::PathNotFound:
        return "path not found";
    case Status::AccessDenied:
        return "access denied";
    case Status::InsufficientMemory:
        return "insufficient memory";
    case Status::InvalidPointer:
        return "invalid pointer";
    case Status::WriteFault:
        return "write fault";
    case Status::ReadFault:
        return "read fault";
    case Status::ShareViolation:
        return "share violation";
    case Status::FileAlreadyExists:
        return "file or element already exists";
    case Status::InvalidParameter:
        return "invalid parameter";
    case Status::MediumFull:
        return "medium full";
    case Status::InvalidHeader:
        return "not a compound file";
    case Status::InvalidName:
        return "invalid name";
    case Status::InvalidFlag:
        return "invalid mode";
    case Status::Reverted:
        return "object reverted";
    case Status::FileCorrupt:
        return "compound file corrupt";
    }
    return "unknown status";
}

} // namespace cfb

#include "drive/CurrentDrive.h"

namespace tavoren {

CurrentDrive& GetCurrentDrive() {
    static CurrentDrive drive;
    return drive;
}

}  // namespace tavoren

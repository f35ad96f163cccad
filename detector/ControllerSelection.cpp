#include "detector/ControllerSelection.h"

ControllerChoice ChooseController(int m, int s, int k) {
    const ControllerChoice keep3{ActiveController::Keep, k, 3};
    const ControllerChoice keep4{ActiveController::Keep, k, 4};
    switch (m) {
        case 1:
            if (s == 2) return {ActiveController::Mtp, 1, 2};
            if (s == 3 || s == 4) return keep3;
            return {ActiveController::Mtp, 1, 1};
        case 2:
            return {ActiveController::Mtp, 1, 2};
        case 3:
            return keep3;
        case 4:
            if (s >= 1 && s <= 3) return keep3;
            if (s == 4) return keep4;
            return k == 2 ? ControllerChoice{ActiveController::Mtp, 1, 2} : keep4;
        default:
            break;
    }
    switch (s) {
        case 1:
            return {ActiveController::MassStorage, 2, 1};
        case 2:
            return {ActiveController::MassStorage, 2, 2};
        case 3:
            return k == 1 ? ControllerChoice{ActiveController::MassStorage, 2, 2} : keep3;
        case 4:
            return k == 1 ? ControllerChoice{ActiveController::MassStorage, 2, 2} : keep4;
        default:
            // Nothing anywhere: no kind, the controller stays as it was.
            return {ActiveController::Keep, 0, 0};
    }
}

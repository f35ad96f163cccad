#pragma once
// Which of the two device controllers the detector works with, from what each found.

enum class ActiveController { Keep, Mtp, MassStorage };

struct ControllerChoice {
    ActiveController controller;
    // 0 none, 1 MTP, 2 mass storage.
    int kind;
    // 1 and 2 go on to the device check.
    int result;
};

// mtpFound and massStorageFound are the controllers' FindDevice results (0 to 4); activeKind is the
// kind chosen last time, which steers the choice when neither reports a fresh player.
ControllerChoice ChooseController(int mtpFound, int massStorageFound, int activeKind);

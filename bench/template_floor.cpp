// The start-up floor of XirARP's window for the benchmark: XirARP's own resources (its dialog template, string
// tables, bitmaps, icons and manifest) and system libraries, with no code behind them but what lets the template's
// controls be made. XirARP cannot start faster, or with less memory, than this.
#include <windows.h>
#include <commctrl.h>

#include "res/resource.h"

namespace {

INT_PTR CALLBACK floorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && (LOWORD(wParam) == IDC_EXIT || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

}  // namespace

extern "C" void* const kSameImports[];

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Never true: keeps the imports in the image without calling any of them.
    if (!instance)
        return kSameImports[0] != nullptr;
    // The template's address fields are common controls of the IP address class: without it the dialog fails.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_INTERNET_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_XIRARP_DIALOG), nullptr, floorDialogProc, 0);
    return 0;
}

// The reference for the benchmark: a dialog with nothing in it, built with the same flags as XirARP, so
// that the loader's and Wine's own start-up cost can be told apart from the program's.
#include <windows.h>

#include "empty_dialog.h"

namespace {

INT_PTR CALLBACK emptyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_EMPTY_DIALOG), nullptr, emptyDialogProc, 0);
    return 0;
}

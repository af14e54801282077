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

#ifdef XIRARP_BENCH_SAME_IMPORTS
extern "C" void* const kSameImports[];
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
#ifdef XIRARP_BENCH_SAME_IMPORTS
    // Never true: keeps the imports in the image without calling any of them.
    if (!instance)
        return kSameImports[0] != nullptr;
#endif
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_EMPTY_DIALOG), nullptr, emptyDialogProc, 0);
    return 0;
}

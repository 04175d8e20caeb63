// The floor under the Python product walk: Windows Installer's own enumeration of every product, with and
// without reading each product's name, timed without any of the installer's code around it.
#include <windows.h>
#include <msi.h>

#include <cstdio>

int main() {
    char code[39];
    DWORD start = GetTickCount();
    int products = 0;
    for (DWORD i = 0;; ++i) {
        UINT r = MsiEnumProductsA(i, code);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r == ERROR_SUCCESS) ++products;
    }
    DWORD enumerated = GetTickCount();
    int named = 0;
    const MSIINSTALLCONTEXT contexts[] = {MSIINSTALLCONTEXT_MACHINE, MSIINSTALLCONTEXT_USERMANAGED,
                                          MSIINSTALLCONTEXT_USERUNMANAGED};
    for (DWORD i = 0;; ++i) {
        UINT r = MsiEnumProductsA(i, code);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS) continue;
        for (MSIINSTALLCONTEXT context : contexts) {
            char name[256];
            DWORD length = sizeof(name);
            if (MsiGetProductInfoExA(code, nullptr, context, "InstalledProductName", name, &length) == 0) {
                ++named;
                break;
            }
        }
    }
    DWORD walked = GetTickCount();
    std::printf("bare MsiEnumProductsA over %d products: %lu ms; with each name: %lu ms (%d named)\n", products,
                enumerated - start, walked - enumerated, named);
    return 0;
}

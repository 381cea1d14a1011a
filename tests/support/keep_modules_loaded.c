/* Preloaded into sanitizer test runs only. Mesa unloads its driver at exit, before the leak
 * check runs, which leaves the driver's allocations without a module name to suppress them by.
 * Keeping every module mapped lets the check name them. */
#include <dlfcn.h>

int dlclose(void *handle) {
    (void)handle;
    return 0;
}

// Lists the resources compiled into the program and fails when one is
// missing or empty. Runs right after the build, before the program is made.

#include "resource_manifest.h"

#include <QResource>

#include <cstdio>

int main()
{
    int missing = 0;
    for (const char* path : cifrellaResourceManifest()) {
        const QResource resource{QString::fromLatin1(path)};
        const bool ok = resource.isValid() && resource.size() > 0;
        std::printf("%s %s (%lld bytes)\n", ok ? "ok     " : "MISSING", path, ok ? resource.size() : 0LL);
        missing += !ok;
    }
    if (missing)
        std::fprintf(stderr, "check_resources: %d resources missing from the build\n", missing);
    return missing ? 1 : 0;
}

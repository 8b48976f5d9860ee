#pragma once

// Installs a full set of fake platform services for one test and restores the
// previous set afterwards. Tests reach each fake by name to arrange and check.

#include "fakes/FakeDesktopServices.h"
#include "fakes/FakeHotkeys.h"
#include "fakes/FakeHttp.h"
#include "fakes/FakeScreens.h"
#include "fakes/FakeServices.h"
#include "fakes/FakeSound.h"
#include "fakes/ManualLoop.h"
#include "platform/Platform.h"

namespace velloq::testing {

class FakePlatform {
public:
    FakePlatform();
    ~FakePlatform();
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    CapturingLog log;
    ManualLoop loop;
    MemoryDefaultsStore defaults;
    FakeSecretStore secrets;
    FakePermissions permissions;
    FakeApplication application;
    FakeClipboard clipboard;
    FakeSavePanel savePanel;
    FakeFiles files;
    FakeWorkArea workArea;
    FakeFloatingWindows floatingWindows;
    FakeScreens screens;
    FakeHttp http;
    FakeSound sound;
    FakeHotkeys hotkeys;

private:
    platform::Services previous_;
};

} // namespace velloq::testing

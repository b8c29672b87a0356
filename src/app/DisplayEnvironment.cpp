#include "app/DisplayEnvironment.h"

namespace {
// The only variables adjusted() reads or writes: start-up reads these few instead of the whole
// environment.
const char* const Names[] = {"QT_ENABLE_HIGHDPI_SCALING", "QT_FONT_DPI",     "QT_SCALE_FACTOR",
                             "QT_SCREEN_SCALE_FACTORS",   "WAYLAND_DISPLAY", "XDG_SESSION_TYPE",
                             "QT_QPA_PLATFORM",           "DISPLAY"};
} // namespace

DisplayEnvironment::Variables DisplayEnvironment::adjusted(const Variables& env, bool platformGiven)
{
    Variables result = env;
    result.insert("QT_ENABLE_HIGHDPI_SCALING", "0");
    result.insert("QT_FONT_DPI", "96");
    result.remove("QT_SCALE_FACTOR");
    result.remove("QT_SCREEN_SCALE_FACTORS");

    const bool wayland =
        !env.value("WAYLAND_DISPLAY").isEmpty() || env.value("XDG_SESSION_TYPE") == "wayland";
    if (wayland && !platformGiven && env.value("QT_QPA_PLATFORM").isEmpty() &&
        !env.value("DISPLAY").isEmpty())
        result.insert("QT_QPA_PLATFORM", "xcb");
    return result;
}

void DisplayEnvironment::apply(bool platformGiven)
{
    Variables now;
    for (const char* name : Names) {
        if (qEnvironmentVariableIsSet(name))
            now.insert(name, qgetenv(name));
    }
    const Variables wanted = adjusted(now, platformGiven);
    for (const char* name : Names) {
        const auto value = wanted.constFind(name);
        if (value == wanted.constEnd())
            qunsetenv(name);
        else if (now.value(name) != *value || !now.contains(name))
            qputenv(name, *value);
    }
}

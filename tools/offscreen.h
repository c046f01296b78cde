#pragma once
// The generators render without a display.
#include <QDir>
#include <QFile>

namespace pix {

// Call before creating the application object.
inline void offscreen() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // The toolkit wants a private runtime folder; a shared /tmp draws a warning.
        QString dir = QDir::tempPath() + "/zw-runtime-" + qEnvironmentVariable("USER", "build");
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir));
    }
}

}  // namespace pix

#pragma once

#include <QByteArrayList>
#include <vector>

class QWebEngineUrlSchemeHandler;

namespace app {

// The argument vector handed to the application object: the program's own
// arguments, then "--webEngineArgs" and the engine switches, which is where
// Qt WebEngine reads Chromium switches from.
class ApplicationArguments {
  public:
    void assign(const QByteArrayList& arguments);
    int& argc() { return argc_; }
    char** argv() { return pointers_.data(); }
    const QByteArrayList& arguments() const { return storage_; }

  private:
    QByteArrayList storage_;
    std::vector<char*> pointers_;
    int argc_ = 0;
};

// Prepares the engine from the global settings. In an engine sub-process it
// runs the engine's sub-process entry and returns false: the caller ends with
// exit code 0. In the browser process it sets what the engine reads at start,
// fills `applicationArguments` and returns true; a second call returns true at
// once. Raises EOSError or EEngineVersionError when the engine cannot start.
bool LoadEngine(int argc, char** argv, ApplicationArguments& applicationArguments);

// Hands requests of the "local" scheme to `handler` (owned by the caller, which
// keeps it alive as long as the engine runs). Needs the application object.
void RegisterSchemeHandlerFactory(QWebEngineUrlSchemeHandler* handler);

}  // namespace app

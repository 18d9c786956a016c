#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

namespace test_support {

// A desktop of its own for as long as it lives: XDG folders in a temporary
// folder (the system's MIME database stays visible, its applications do not),
// no BROWSER variable, and a display name so that the desktop's default
// handler is asked. The environment is put back on destruction. GLib keeps
// the folders it saw first, so a test process has one desktop, made before
// anything asks for the desktop's applications.
class FakeDesktop {
  public:
    FakeDesktop();
    ~FakeDesktop();
    FakeDesktop(const FakeDesktop&) = delete;
    FakeDesktop& operator=(const FakeDesktop&) = delete;

    // A program at `relativePath` that records its arguments, one a line;
    // returns its full path.
    QString WriteRecordingProgram(const QString& relativePath);
    // A desktop entry in the user's applications with that Exec line.
    void WriteEntry(const QString& name, const QString& exec);
    // The user's default applications ("mime/type=entry.desktop" lines).
    void SetDefaults(const QString& lines);
    // What the last recording program was given (empty before it ran).
    QString RecordedArguments() const;

  private:
    struct Saved {
        const char* name;
        QByteArray value;
        bool wasSet;
    };

    QTemporaryDir root_;
    QList<Saved> saved_;
};

}  // namespace test_support

#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace app {

enum TLogSeverity : int {
    LOGSEVERITY_DEFAULT = 0,
    LOGSEVERITY_VERBOSE = 1,
    LOGSEVERITY_INFO = 2,
    LOGSEVERITY_WARNING = 3,
    LOGSEVERITY_ERROR = 4,
    LOGSEVERITY_DISABLE = 99,
};

// The engine's start-up settings: one process-wide record, changed only
// before the engine starts, read once when it starts. The 22 fields keep the
// engine's own names; how each one reaches Qt WebEngine is in engine_switches.cpp.
struct EngineSettings {
    bool single_process = true;
    bool no_sandbox = false;
    QString browser_subprocess_path;
    bool multi_threaded_message_loop = false;
    bool windowless_rendering_enabled = false;
    bool command_line_args_disabled = false;
    QString cache_path;
    bool persist_session_cookies = false;
    QString user_agent;
    QString product_version;
    QString locale;
    QString log_file;
    int log_severity = LOGSEVERITY_DISABLE;
    QString javascript_flags;
    QString resources_dir_path;
    QString locales_dir_path;
    bool pack_loading_disabled = false;
    int remote_debugging_port = 0;
    int uncaught_exception_stack_size = 0;
    int context_safety_implementation = 0;
    bool ignore_certificate_errors = false;
    std::uint32_t background_color = 0;
};

EngineSettings& GlobalEngineSettings();

// The settings the program runs with: the entry switches single-process mode
// off. The debugging server listens only when the user asks for it with the
// engine's own switches (AskedDebuggingPort): whoever reaches it reads and
// drives the survey session, so it is never open by default.
void ApplyProgramSettings(EngineSettings& settings, const QStringList& commandLine);

}  // namespace app

#pragma once

#include <QString>

namespace upgrader {

// The program the desktop opens files with the extension with (".html"),
// taken from the desktop's default handler (for web pages the default web
// browser first) and its desktop entry's Exec line. Empty for an empty
// extension, ".", or when no installed program is registered.
QString GetAssociatedProgram(const QString& Ext);

// Opens the URL ("http://" is put in front when it holds no "://"). With
// UseBrowser the program registered for ".html" gets it as its argument;
// otherwise, or when there is none, the desktop opens it. Failures are silent.
void OpenURL(const QString& URL, bool UseBrowser);

}  // namespace upgrader

#pragma once

#include "main/shell_parts.h"

namespace main_window {

// The favorites menu's three home page commands. The home page file holds at
// most one meaningful line, "title TAB url"; an empty file is the blank page.
class THomePageCommands {
  public:
    explicit THomePageCommands(const ShellParts& parts) : parts_(parts) {}

    // "浏览主页": loads the home page; the blank page when its first line is
    // empty, the empty address when there is no home page file.
    void PopMainpageClick();
    // "设置当前页为主页": the current page becomes the home page.
    void PopFavoritesSetMainClick();
    // "设置主页为空白页": the home page becomes the blank page.
    void N1Click();

  private:
    ShellParts parts_;
};

}  // namespace main_window

#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>
#include <memory>

#include "common/executable_folder.h"
#include "main/main_form.h"
#include "main/picture_control.h"
#include "tests/support/modal_box_watcher.h"
#include "tests/support/nginx_server.h"
#include "tests/support/qt_printers.h"
#include "tests/support/wait.h"

// The real main window with a real engine, started from a current folder that
// holds the tool bar's pictures, with a page server and its own home page file.
class MainFormTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pictureFolder.isValid());
        ASSERT_FALSE(qEnvironmentVariable("QUORVANE_SOURCE_DIR").isEmpty());
        QDir source(qEnvironmentVariable("QUORVANE_SOURCE_DIR") + "/ico");
        QDir(pictureFolder.path()).mkpath("ico");
        for (const QString& name : source.entryList(QDir::Files))
            QFile::copy(source.filePath(name), pictureFolder.path() + "/ico/" + name);
        previousFolder = QDir::currentPath();
        QDir::setCurrent(pictureFolder.path());
        QFile::remove(HomePageFile());
        server = std::make_unique<test_support::NginxServer>();
    }

    void TearDown() override {
        form.reset();
        EXPECT_EQ(boxes.texts, expectedBoxes) << "message boxes shown";
        QFile::remove(HomePageFile());
        QDir::setCurrent(previousFolder);
    }

    static QString HomePageFile() {
        return common::ExecutableFolder() + QStringLiteral("主页.txt");
    }

    static void WriteHomePage(const QByteArray& bytes) {
        QFile file(HomePageFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void CreateForm() {
        form = std::make_unique<main_window::TMainForm>();
        form->resize(1024, 512);
        form->show();
        ASSERT_TRUE(test_support::WaitUntil([&] { return form->crm()->Browser() != nullptr; }));
    }

    template <typename T = main_window::TImage>
    T* Child(const char* name) const {
        return form->findChild<T*>(QString::fromLatin1(name));
    }

    QString PageUrl() const { return form->crm()->Browser()->GetMainFrame()->GetUrl(); }

    bool WaitForUrl(const QString& url) {
        return test_support::WaitUntil([&] { return PageUrl() == url && !form->FLoading; });
    }

    // A mouse movement delivered to the widget itself, independent of where the
    // display's real pointer happens to be.
    static void MoveMouse(QWidget* widget, QPoint position) {
        QMouseEvent move(QEvent::MouseMove, QPointF(position),
                         QPointF(widget->mapToGlobal(position)), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
    }

    // Whether the control shows the picture of that file.
    static bool Shows(main_window::TImage* image, const char* file) {
        main_window::TImage reference;
        reference.LoadFromFile(QString::fromLatin1(file));
        return image->Picture() == reference.Picture();
    }

    // Answers every box so that nothing waits for a user; a test lists the
    // boxes it expects.
    test_support::ModalBoxWatcher boxes;
    QStringList expectedBoxes;
    QTemporaryDir pictureFolder;
    QString previousFolder;
    std::unique_ptr<test_support::NginxServer> server;
    std::unique_ptr<main_window::TMainForm> form;
};

#pragma once
// Platform services on Qt: QClipboard/QMimeData, QFileDialog (Qt's own
// dialog) and QMessageBox for its question, QDesktopServices. The methods are defined one service a file.
#include "runtime/Platform.h"

class QWidget;

class QtPlatform final : public Platform {
public:
    // `dialogParent` owns the save dialog's window; it may be null.
    explicit QtPlatform(QWidget* dialogParent = nullptr) : dialogParent_(dialogParent) {}

    void PlaceOnClipboard(const std::string& textUtf8) override;                                   // QtPlatformClipboard.cpp
    std::optional<std::string> ChooseSaveFileName(const SaveDialogRequest& request) override;      // QtPlatformSaveDialog.cpp
    bool ConfirmReplace(const std::string& fileName) override;                                     // QtPlatformSaveDialog.cpp
    bool OpenAddress(const std::string& address) override;                                        // QtPlatformShell.cpp

    void SetDialogParent(QWidget* parent) { dialogParent_ = parent; }

private:
    QWidget* dialogParent_;
};

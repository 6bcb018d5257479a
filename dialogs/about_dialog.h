#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>

inline constexpr int kIdWebLink = 1053;
// The program's icon, as the icon resource of the frame (128).
inline constexpr int kIdApplicationIcon = 128;

// The maker's web site, which the About dialog's link opens.
inline constexpr const char* kMakerSite = "https://www.ostrel.example/";

// Opens an address in the desktop's browser.
using UrlOpener = std::function<void(const QUrl&)>;

// "About Levora": program name, version and a link to the maker's web site.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);

    // Replaces the desktop's default action that the link uses.
    void SetUrlOpener(UrlOpener opener) { opener_ = std::move(opener); }

private:
    UrlOpener opener_;
};

// Runs the dialog modally.
void RunAboutDialog();

#include "platform/qsettings_profile.h"

#include <QEvent>
#include <QFile>
#include <algorithm>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

QString Key(std::string_view section, std::string_view name) {
    std::string path = profile_path::Normalize(section);
    if (!path.empty())
        path.push_back('/');
    path.append(name);
    return QString::fromStdString(path);
}

bool IsBinary(const QVariant& v) {
    return v.metaType().id() == QMetaType::QByteArray;
}

} // namespace

// QSettings writes its changes from the event loop soon after they were made, where a failed
// write could not be undone: that write goes through Sync. After a failed one the changes wait
// for the next Sync asked for, so that a full disk is not written to at every turn of the loop.
class QSettingsProfile::PromptlyWrittenSettings : public QSettings {
public:
    template <typename... Args>
    explicit PromptlyWrittenSettings(QSettingsProfile& profile, Args&&... args)
        : QSettings(std::forward<Args>(args)...), profile_(profile) {}

protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::UpdateRequest)
            return QSettings::event(event);
        if (!profile_.writeFailed_)
            profile_.Sync();
        return true;
    }

private:
    QSettingsProfile& profile_;
};

QSettingsProfile::QSettingsProfile()
    : settings_(std::make_unique<PromptlyWrittenSettings>(
          *this, QSettings::NativeFormat, QSettings::UserScope, "Ostrel", "Ostrel Levora")) {
    // The store is the user's file alone, so that what Sync wrote can be compared whole.
    settings_->setFallbacksEnabled(false);
}

QSettingsProfile::QSettingsProfile(const QString& fileName)
    : settings_(
          std::make_unique<PromptlyWrittenSettings>(*this, fileName, QSettings::NativeFormat)) {}

QSettingsProfile::~QSettingsProfile() = default;

bool QSettingsProfile::Sync() {
    // Qt 6.4 renames its new file over the old one even when writing it failed (a full
    // disk): the old file stays reachable under a second name until the new one reads back
    // whole, and returns when it does not.
    const QByteArray file = QFile::encodeName(settings_->fileName());
    const QByteArray kept = file + ".kept";
    ::unlink(kept.constData());
    const bool hadOld = ::link(file.constData(), kept.constData()) == 0;
    std::vector<std::pair<QString, QVariant>> values;
    for (const QString& key : settings_->allKeys())
        values.emplace_back(key, settings_->value(key));
    settings_->sync();
    // Not status(): it keeps the first error for good.
    writeFailed_ = !ReadsBackWhole();
    if (!writeFailed_) {
        if (hadOld)
            ::unlink(kept.constData());
        return true;
    }
    // When QSettings kept the old file itself, both names are links of it: rename() then
    // does nothing and the second name is removed after it.
    if (hadOld)
        ::rename(kept.constData(), file.constData());
    else
        ::unlink(file.constData());
    ::unlink(kept.constData());
    // QSettings counts the changes as written: they are made again, for the next Sync.
    for (const QString& key : QSettings(settings_->fileName(), settings_->format()).allKeys())
        settings_->remove(key);
    for (const auto& [key, value] : values)
        settings_->setValue(key, value);
    return false;
}

bool QSettingsProfile::ReadsBackWhole() const {
    const QSettings written(settings_->fileName(), settings_->format());
    const QStringList keys = settings_->allKeys();
    if (written.status() != QSettings::NoError || written.allKeys().size() != keys.size())
        return false;
    return std::all_of(keys.begin(), keys.end(), [&](const QString& key) {
        return written.value(key) == settings_->value(key);
    });
}

int32_t QSettingsProfile::ReadInt(std::string_view section, std::string_view name,
                                  int32_t defaultValue) const {
    QVariant v = settings_->value(Key(section, name));
    int32_t value = 0;
    if (v.isValid() && !IsBinary(v) && profile_path::ParseInt(v.toString().toStdString(), value))
        return value;
    return defaultValue;
}

void QSettingsProfile::WriteInt(std::string_view section, std::string_view name, int32_t value) {
    settings_->setValue(Key(section, name), QString::number(value));
}

std::string QSettingsProfile::ReadString(std::string_view section, std::string_view name,
                                         std::string_view defaultValue) const {
    QVariant v = settings_->value(Key(section, name));
    if (!v.isValid() || IsBinary(v))
        return std::string(defaultValue);
    return v.toString().toStdString();
}

void QSettingsProfile::WriteString(std::string_view section, std::string_view name,
                                   std::string_view value) {
    settings_->setValue(Key(section, name),
                        QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
}

bool QSettingsProfile::ReadBinary(std::string_view section, std::string_view name,
                                  std::vector<uint8_t>& out) const {
    QVariant v = settings_->value(Key(section, name));
    if (!IsBinary(v))
        return false;
    QByteArray bytes = v.toByteArray();
    out.assign(bytes.begin(), bytes.end());
    return true;
}

void QSettingsProfile::WriteBinary(std::string_view section, std::string_view name,
                                   std::span<const uint8_t> value) {
    settings_->setValue(Key(section, name), QByteArray(reinterpret_cast<const char*>(value.data()),
                                                       static_cast<qsizetype>(value.size())));
}

void QSettingsProfile::DeleteKey(std::string_view key) {
    std::string path = profile_path::Normalize(key);
    if (!path.empty())
        settings_->remove(QString::fromStdString(path));
}

#include "platform/qsettings_profile.h"

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

QSettingsProfile::QSettingsProfile()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "Ostrel",
                                            "Ostrel Levora")) {}

QSettingsProfile::QSettingsProfile(const QString& fileName)
    : settings_(std::make_unique<QSettings>(fileName, QSettings::NativeFormat)) {}

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

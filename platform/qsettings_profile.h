#pragma once

#include "platform/profile.h"

#include <QSettings>
#include <memory>

// The program's Profile: QSettings("Ostrel", "Ostrel Levora") in the native format, or a
// settings file of the caller's choice (tests).
class QSettingsProfile final : public Profile {
public:
    QSettingsProfile();
    explicit QSettingsProfile(const QString& fileName);
    ~QSettingsProfile() override;

    int32_t ReadInt(std::string_view section, std::string_view name,
                    int32_t defaultValue) const override;
    void WriteInt(std::string_view section, std::string_view name, int32_t value) override;
    std::string ReadString(std::string_view section, std::string_view name,
                           std::string_view defaultValue) const override;
    void WriteString(std::string_view section, std::string_view name,
                     std::string_view value) override;
    bool ReadBinary(std::string_view section, std::string_view name,
                    std::vector<uint8_t>& out) const override;
    void WriteBinary(std::string_view section, std::string_view name,
                     std::span<const uint8_t> value) override;
    void DeleteKey(std::string_view key) override;

    bool Sync() override;
    QString FileName() const { return settings_->fileName(); }

private:
    class PromptlyWrittenSettings;

    bool ReadsBackWhole() const;

    std::unique_ptr<QSettings> settings_;
    bool writeFailed_ = false;
};

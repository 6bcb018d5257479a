#pragma once

#include "app/command_target.h"
#include "device/channel_selection.h"
#include "device/level_report.h"

#include <QWidget>
#include <string>

class CVexaDoc;
class Profile;
class LineReader;
class LineWriter;
struct ParamTable;

// The base of every meter view: what the document configures, what the engine feeds, and
// what all meter windows share (context menu, help, the half-second housekeeping tick that
// drives the document's deferred store, and the clean-up on destruction).
class CVexaView : public QWidget, public LevelListener, public CommandTarget {
    Q_OBJECT

public:
    // The settings store the view keeps its parameters and font in.
    explicit CVexaView(Profile& profile, QWidget* parent = nullptr);
    ~CVexaView() override;

    // The document this view is attached to; null once detached.
    CVexaDoc* GetDocument() const { return document_; }
    Profile& profile() const { return profile_; }
    void AttachDocument(CVexaDoc* document) { document_ = document; }

    virtual void SetChannelSelection(int channelCount, const ChannelSelection& selection);
    virtual void SaveSettings(const std::string& section);
    virtual void LoadSettings(const std::string& section);
    virtual int OnParamsChanged(int force);
    void OnLevelReport(const LevelReport& report, int32_t cookie) override;
    // Passed on to the document, which decides what the window shows.
    void OnCardAnswering(bool answering) override;
    // A non-empty message: no card feeds the meters, which show that and the message
    // instead of levels until it is cleared.
    virtual void ShowNotLive(const QString& message);
    int IsCtrlHeld() const { return ctrlHeld_; }

    // The view's part of a setup file: its font line and parameter lines.
    virtual void Serialize(LineWriter& archive);
    virtual void Serialize(LineReader& archive);
    // The parameters the setup window edits; none for the start-up placeholder.
    virtual ParamTable* Params();

    // The framework's view-activation notification: starts the housekeeping timer once.
    void OnActivateView();
    // The window's destruction: stores the defaults at once through the document (when still
    // attached) and stops the timer. The object itself goes later, outside any handler.
    void Destroy();
    bool IsDestroyed() const { return destroyed_; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CommandState& state) override;

    // The help topic of F1 and Help > Current Function.
    virtual int HelpTopic() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

    void SetCtrlHeld(bool held) { ctrlHeld_ = held ? 1 : 0; }

private:
    void ShowContextMenu(const QPoint& globalPos);

    Profile& profile_;
    CVexaDoc* document_ = nullptr;
    int ctrlHeld_ = 0;
    int timerId_ = 0;
    bool destroyed_ = false;
};

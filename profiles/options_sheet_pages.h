// The four pages of the options sheet: audio, video, resize, and crop and
// pad. Each is a table of controls that shows the edited profile and reads
// it back; what the values mean and which of them the encoder refuses is
// options_sheet_values.h.
#pragma once

#include "profiles/dialog_table.h"
#include "profiles/options_sheet_values.h"
#include "profiles/profile_settings.h"

#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <span>

class QButtonGroup;

namespace kinolux {

class OptionsPage : public QWidget {
public:
    ~OptionsPage() override;

    DialogTable& Table() const { return *table_; }
    QWidget* Widget(int id) const { return table_->Widget(id); }
    template <class T>
    T* Get(int id) const {
        return table_->Get<T>(id);
    }

    // Fills the controls from the edited profile.
    virtual void Show(const ProfileSettings& edited) = 0;
    // Reads the controls into the edited profile. Every readable value is
    // taken; the first text that is not a number is the refusal, and its
    // field keeps its value.
    virtual std::optional<OptionRefusal> Take(ProfileSettings& edited) const = 0;

protected:
    OptionsPage(const char* section, std::span<const DialogControl> rows, QWidget* parent);

    // One group of radio buttons (siblings on a page are not one group by
    // themselves), its buttons numbered from 0 in the order given.
    QButtonGroup* Group(std::initializer_list<int> ids);
    // Focusing `edit` checks `button`, as typing there means that choice.
    void FocusChecks(int edit, int button);
    // Enables or disables every control of the page but `except`.
    void EnableAllBut(int except, bool enabled);
    // Colours the page's labels as the skinned pages have them.
    void ColourLabels();

    std::optional<OptionRefusal> ReadInteger(int id, OptionPage page, int32_t& field) const;
    std::optional<OptionRefusal> ReadFloat(int id, OptionPage page, float& field) const;
    void SetEditText(int id, const std::string& text) const;

private:
    std::unique_ptr<DialogTable> table_;
};

class AudioOptionsPage : public OptionsPage {
public:
    explicit AudioOptionsPage(QWidget* parent);
    void Show(const ProfileSettings& edited) override;
    std::optional<OptionRefusal> Take(ProfileSettings& edited) const override;

private:
    QButtonGroup* sampleRate_;
    QButtonGroup* bitRate_;
};

class VideoOptionsPage : public OptionsPage {
public:
    explicit VideoOptionsPage(QWidget* parent);
    void Show(const ProfileSettings& edited) override;
    std::optional<OptionRefusal> Take(ProfileSettings& edited) const override;
    // The read-only default bit rate box.
    void ShowDefaultBitRate(int kbits);
    // The three quotiety edits, whose changes move the default bit rate.
    std::array<int, 3> LevelItems() const { return {1249, 1146, 1149}; }

private:
    QButtonGroup* frameRate_;
    QButtonGroup* bitRate_;
};

class ResizeOptionsPage : public OptionsPage {
public:
    explicit ResizeOptionsPage(QWidget* parent);
    void Show(const ProfileSettings& edited) override;
    std::optional<OptionRefusal> Take(ProfileSettings& edited) const override;

private:
    QButtonGroup* size_;
    QButtonGroup* aspect_;
};

class CropPadOptionsPage : public OptionsPage {
public:
    explicit CropPadOptionsPage(QWidget* parent);
    void Show(const ProfileSettings& edited) override;
    std::optional<OptionRefusal> Take(ProfileSettings& edited) const override;
    // "Select color": the colour dialog, from the colour shown.
    void ChooseColour();
    int32_t Colour() const { return colour_; }

private:
    void ShowColour(int32_t colour);
    void FollowTicks();

    int32_t colour_ = 0;
};

}  // namespace kinolux

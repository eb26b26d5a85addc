// Saving the main dialog's fields: what parses, what its ranges let through, where a failure
// stops and which members it leaves as they were.
#include <QApplication>
#include <optional>

#include "decimal_parse.h"
#include "dialog_fixture.h"
#include "qt_control.h"
#include "resource.h"

namespace {

class DataExchangeTest : public DialogFixture {
protected:
    // Members set to values no field shows, to see which ones an exchange reaches.
    void MarkMembers(CToolsDlg& dialog) {
        dialog.m_fVibration = -7;
        dialog.m_fVibrationAlarm = -7;
        dialog.m_fAutoVibration = -7;
        dialog.m_nTemperature = -7;
        dialog.m_nMovementAlarm = -7;
        dialog.m_nAutoMovement = -7;
        dialog.m_nMovement = -7;
    }
};

struct SaveCase {
    const char* vibrationAlarm;  // edit 1001
    const char* movementAlarm;   // edit 1008
    bool saved;
    float vibrationMember;  // -7: not reached
    short movementMember;   // -7: not reached
    int focus;              // the field a failure points at
};

const SaveCase kSaveCases[] = {
    {"1", "200", true, 1.0f, 200, 0},
    {"0", "0", true, 0.0f, 0, 0},
    {" 0.5 ", "+37", true, 0.5f, 37, 0},
    {"1.5", "100", false, 1.5f, -7, IDC_VIBRATION_ALARM},  // out of range: stored, then stops
    {"-0.01", "100", false, -0.01f, -7, IDC_VIBRATION_ALARM},
    {"abc", "100", false, -7, -7, IDC_VIBRATION_ALARM},  // no number: not stored
    {"", "100", false, -7, -7, IDC_VIBRATION_ALARM},
    {"0.5", "201", false, 0.5f, 201, IDC_MOVEMENT_ALARM},
    {"0.5", "-1", false, 0.5f, -1, IDC_MOVEMENT_ALARM},
    {"0.5", "1.5", false, 0.5f, -7, IDC_MOVEMENT_ALARM},    // an integer field takes no fraction
    {"0.5", "99999", false, 0.5f, -7, IDC_MOVEMENT_ALARM},  // past a 16-bit member
};

}  // namespace

TEST_F(DataExchangeTest, FieldsLoadAsZeroAtStart) {
    OpenMainDialog();
    for (int id : {IDC_VIBRATION, IDC_VIBRATION_ALARM, IDC_AUTO_VIBRATION, IDC_TEMPERATURE,
                   IDC_MOVEMENT_ALARM, IDC_AUTO_MOVEMENT, IDC_MOVEMENT}) {
        EXPECT_EQ(Text(id), "0") << id;
    }
}

TEST_F(DataExchangeTest, SavingParsesChecksRangesAndStopsAtTheFirstFailure) {
    CToolsDlg& dialog = OpenMainDialog();
    for (const SaveCase& c : kSaveCases) {
        SCOPED_TRACE(testing::Message() << c.vibrationAlarm << " / " << c.movementAlarm);
        m_boxes.clear();
        MarkMembers(dialog);
        SetText(IDC_VIBRATION, "0.25");
        SetText(IDC_TEMPERATURE, "31");
        SetText(IDC_AUTO_MOVEMENT, "12");
        SetText(IDC_VIBRATION_ALARM, c.vibrationAlarm);
        SetText(IDC_MOVEMENT_ALARM, c.movementAlarm);
        ControlWidget(*m_dialog, IDC_VIBRATION)->setFocus();

        EXPECT_EQ(dialog.UpdateData(TRUE), c.saved ? TRUE : FALSE);
        EXPECT_EQ(dialog.m_fVibrationAlarm, c.vibrationMember);
        EXPECT_EQ(dialog.m_nMovementAlarm, c.movementMember);
        EXPECT_EQ(dialog.m_fVibration, 0.25f);  // before the failing field: saved
        const bool pastVibration = c.saved || c.focus == IDC_MOVEMENT_ALARM;
        EXPECT_EQ(dialog.m_nTemperature, pastVibration ? 31 : -7);
        EXPECT_EQ(dialog.m_nAutoMovement, c.saved ? 12 : -7);  // after it: untouched
        if (c.saved) {
            EXPECT_TRUE(m_boxes.empty());
        } else {
            ASSERT_EQ(m_boxes.size(), 1u);  // the prompt
            EXPECT_EQ(m_boxes[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
            EXPECT_EQ(WidgetOf(dialog)->focusWidget(), ControlWidget(*m_dialog, c.focus));
        }
    }
}

TEST_F(DataExchangeTest, PromptsNameTheRange) {
    CToolsDlg& dialog = OpenMainDialog();
    SetText(IDC_VIBRATION_ALARM, "2");
    EXPECT_FALSE(dialog.UpdateData(TRUE));
    SetText(IDC_VIBRATION_ALARM, "1");
    SetText(IDC_MOVEMENT_ALARM, "300");
    EXPECT_FALSE(dialog.UpdateData(TRUE));
    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_EQ(m_boxes[0].text, "请输入一个介于 0 和 1 之间的数。");
    EXPECT_EQ(m_boxes[1].text, "请输入一个介于 0 和 200 之间的整数。");
}

// Each text as a real and as an integer.
TEST(DecimalParseTest, TextsAsTyped) {
    struct Case {
        const char* text;
        std::optional<double> real;
        std::optional<long long> integer;
    };
    const Case cases[] = {
        {"0", 0.0, 0},
        {"1", 1.0, 1},
        {"-1", -1.0, -1},
        {"+200", 200.0, 200},
        {" 42 ", 42.0, 42},
        {"-1.25", -1.25, std::nullopt},
        {"+.5", 0.5, std::nullopt},
        {"5.", 5.0, std::nullopt},
        {"1.0", 1.0, std::nullopt},
        {"1e-2", 0.01, std::nullopt},
        {"1e3", 1000.0, std::nullopt},
        {" 2E+1\t", 20.0, std::nullopt},
        {"99999999999999999999", 1e20, std::nullopt},
        {"", std::nullopt, std::nullopt},
        {"-", std::nullopt, std::nullopt},
        {".", std::nullopt, std::nullopt},
        {"1e", std::nullopt, std::nullopt},
        {"12a", std::nullopt, std::nullopt},
        {"inf", std::nullopt, std::nullopt},
        {"nan", std::nullopt, std::nullopt},
        {"0x10", std::nullopt, std::nullopt},
        {"1,5", std::nullopt, std::nullopt},
        {"1 2", std::nullopt, std::nullopt},
        {"1e999", std::nullopt, std::nullopt},
    };
    for (const auto& [text, real, integer] : cases) {
        EXPECT_EQ(ParseDecimalReal(text), real) << '"' << text << '"';
        EXPECT_EQ(ParseDecimalInteger(text), integer) << '"' << text << '"';
    }
}

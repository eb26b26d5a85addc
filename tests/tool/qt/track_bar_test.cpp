// The sliders: a scroll of any kind reaches the dialog as WM_HSCROLL through its message map,
// with the code, the thumb position where one belongs and the slider, and with the new position
// already readable; setting the position by message notifies nobody.
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include "dialog_fixture.h"
#include "message_map.h"
#include "qt_handles.h"
#include "resource.h"

namespace {

struct Scroll {
    UINT code;
    UINT position;
    int slider;
    LRESULT reads;  // TBM_GETPOS inside the handler
    bool operator==(const Scroll&) const = default;
};

void PrintTo(const Scroll& s, std::ostream* out) {
    *out << "{" << s.code << ", " << s.position << ", " << s.slider << ", " << s.reads << "}";
}

// The main template with nothing but a scroll handler.
class ScrollingDialog : public CDialog {
public:
    ScrollingDialog() : CDialog(IDD_KQ_TOOLS_DIALOG) {}
    std::vector<Scroll> m_scrolls;

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMap map{.base = CDialog::GetMessageMap(),
                                    .entries = {ON_WM_HSCROLL(&ScrollingDialog::OnHScroll)}};
        return &map;
    }

    void OnHScroll(UINT code, UINT position, CWnd* slider) {
        m_scrolls.push_back(
            {code, position, slider->GetDlgCtrlID(), slider->SendMessage(TBM_GETPOS)});
        CDialog::OnHScroll(code, position, slider);
    }
};

class TrackBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dialog.Create());
        m_slider = m_dialog.GetDlgItem(IDC_SLIDER_VIBRATION);
        m_slider->SendMessage(TBM_SETPOS, TRUE, 50);
        WidgetOf(*m_slider)->setFocus();
    }

    ScrollingDialog m_dialog;
    CWnd* m_slider = nullptr;
};

struct KeyCase {
    Qt::Key key;
    UINT code;
    LRESULT position;
};

const KeyCase kKeys[] = {
    {Qt::Key_Right, TB_LINEDOWN, 51},    {Qt::Key_Left, TB_LINEUP, 49},
    {Qt::Key_PageDown, TB_PAGEDOWN, 70}, {Qt::Key_PageUp, TB_PAGEUP, 30},
    {Qt::Key_Down, TB_LINEDOWN, 51},     {Qt::Key_Up, TB_LINEUP, 49},
    {Qt::Key_Home, TB_TOP, 0},           {Qt::Key_End, TB_BOTTOM, 100},
};

}  // namespace

TEST_F(TrackBarTest, SettingThePositionNotifiesNobodyAndStaysInRange) {
    EXPECT_EQ(m_slider->SendMessage(TBM_GETPOS), 50);
    m_slider->SendMessage(TBM_SETPOS, TRUE, 150);
    EXPECT_EQ(m_slider->SendMessage(TBM_GETPOS), 100);
    m_slider->SendMessage(TBM_SETPOS, TRUE, -3);
    EXPECT_EQ(m_slider->SendMessage(TBM_GETPOS), 0);
    m_slider->SendMessage(TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    m_slider->SendMessage(TBM_SETPOS, TRUE, 57);
    EXPECT_EQ(m_slider->SendMessage(TBM_GETPOS), 10);
    EXPECT_TRUE(m_dialog.m_scrolls.empty());
}

TEST_F(TrackBarTest, KeysScrollWithTheirCodesAndEndTheScrollOnRelease) {
    for (const KeyCase& c : kKeys) {
        m_dialog.m_scrolls.clear();
        m_slider->SendMessage(TBM_SETPOS, TRUE, 50);
        QTest::keyClick(WidgetOf(*m_slider), c.key);
        const std::vector<Scroll> expected = {{c.code, 0, IDC_SLIDER_VIBRATION, c.position},
                                              {TB_ENDTRACK, 0, IDC_SLIDER_VIBRATION, c.position}};
        EXPECT_EQ(m_dialog.m_scrolls, expected) << c.key;
    }
}

TEST_F(TrackBarTest, DraggingTheThumbTracksThenSetsThePosition) {
    auto* slider = dynamic_cast<QSlider*>(WidgetOf(*m_slider));
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = Qt::Horizontal;
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    const QPoint thumb =
        slider->style()
            ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
            .center();
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, thumb);
    QTest::mouseMove(slider, thumb + QPoint(30, 0));
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, thumb + QPoint(30, 0));

    ASSERT_GE(m_dialog.m_scrolls.size(), 3u);
    const LRESULT position = m_slider->SendMessage(TBM_GETPOS);
    EXPECT_GT(position, 50);
    const Scroll& track = m_dialog.m_scrolls[m_dialog.m_scrolls.size() - 3];
    EXPECT_EQ(track,
              (Scroll{TB_THUMBTRACK, static_cast<UINT>(position), IDC_SLIDER_VIBRATION, position}));
    EXPECT_EQ(
        m_dialog.m_scrolls[m_dialog.m_scrolls.size() - 2],
        (Scroll{TB_THUMBPOSITION, static_cast<UINT>(position), IDC_SLIDER_VIBRATION, position}));
    EXPECT_EQ(m_dialog.m_scrolls.back(), (Scroll{TB_ENDTRACK, 0, IDC_SLIDER_VIBRATION, position}));
}

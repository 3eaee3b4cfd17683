#include <QTest>
#include <vector>

#include "ui/ButtonBounce.h"

using tessaly::ButtonBounce;

class ButtonBounceTest : public QObject {
    Q_OBJECT

  private slots:
    void theButtonRestsForASecondAndAHalf() {
        ButtonBounce bounce;
        for (int tick = 0; tick < 75; ++tick) {
            QVERIFY(!bounce.Tick(kBox, kButton));
        }
        QCOMPARE(bounce.Tick(kBox, kButton), std::optional<QRect>(kButton.translated(0, 1)));
    }

    void itTurnsFifteenPixelsAboveTheBottomEdgeAndAgainAtItsStart() {
        // Box 200..329, button 230..254: moving down it turns when its bottom edge reaches 314, which is
        // at top 290; moving up it turns back at its starting top, 230.
        const std::vector<int> tops = Tops(60 + 60 + 3);
        std::vector<int> expected;
        for (int top = 231; top <= 290; ++top) {
            expected.push_back(top);
        }
        for (int top = 289; top >= 230; --top) {
            expected.push_back(top);
        }
        expected.insert(expected.end(), {231, 232, 233});
        QCOMPARE(tops, expected);
    }

    void aButtonAlreadyWithinTheGapMovesOnePixelThenTurns() {
        ButtonBounce bounce;
        const QRect low(400, 300, 80, 25);  // bottom 324, 5 pixels above the box's bottom edge
        Rest(bounce, low);
        const std::optional<QRect> first = bounce.Tick(kBox, low);
        QCOMPARE(first->top(), 301);
        QCOMPARE(bounce.Tick(kBox, *first)->top(), 300);
        // Back at its starting height it turns down again.
        QCOMPARE(bounce.Tick(kBox, QRect(400, 300, 80, 25))->top(), 301);
    }

    void theTurnsFollowTheBoxWhenItIsMoved() {
        ButtonBounce bounce;
        Rest(bounce, kButton);
        QRect button = *bounce.Tick(kBox, kButton);
        // The user drags the box 100 pixels down; the button goes with it.
        const QRect moved = kBox.translated(0, 100);
        button.translate(0, 100);
        int lowest = button.top();
        for (int tick = 0; tick < 200; ++tick) {
            button = *bounce.Tick(moved, button);
            lowest = std::max(lowest, button.top());
            QVERIFY(button.top() >= 330);
        }
        QCOMPARE(lowest, 390);
    }

  private:
    static constexpr QRect kBox{100, 200, 400, 130};
    static constexpr QRect kButton{400, 230, 80, 25};

    static void Rest(ButtonBounce& bounce, const QRect& button) {
        for (int tick = 0; tick < 75; ++tick) {
            bounce.Tick(kBox, button);
        }
    }

    // The button's top edge after each of count ticks that follow the rest.
    static std::vector<int> Tops(int count) {
        ButtonBounce bounce;
        Rest(bounce, kButton);
        std::vector<int> tops;
        QRect button = kButton;
        for (int tick = 0; tick < count; ++tick) {
            button = *bounce.Tick(kBox, button);
            tops.push_back(button.top());
        }
        return tops;
    }
};

QTEST_MAIN(ButtonBounceTest)
#include "ButtonBounceTest.moc"

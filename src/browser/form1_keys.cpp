#include "startup/form1.h"

#include "controls/image_view.h"
#include "controls/status_bar.h"

void Form1::File1_KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    // Only the keypad's plus and minus zoom; the main keyboard's go to the list.
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (keypad && (key == Qt::Key_Plus || key == Qt::Key_Minus)) {
        // Whatever the mode, so in animation mode the last picture returns.
        const double f = key == Qt::Key_Plus ? 1.05 : 0.95;
        StatusBar1->setText(4, QStringLiteral("User"));
        Image1->hide();
        Image1->setWidthTwips(Image1->widthTwips() * f);
        Image1->setHeightTwips(Image1->heightTwips() * f);
        Image1->setStretch(true);
        Image1->show();
    } else if (key == Qt::Key_Delete) {
        mnudelete_Click();
    }
}

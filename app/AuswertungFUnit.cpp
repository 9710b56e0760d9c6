#include "app/AuswertungFUnit.h"

#include "app/FreshWindowClickGuard.h"

TAuswertungForm* AuswertungForm = nullptr;

TAuswertungForm::TAuswertungForm(QWidget* parent) : TModalForm(QStringLiteral("Auswertung"), 463, 252, parent) {
    Label1 = MakeLabel(this, QStringLiteral("Label1"), 16, 8, TTextStyle::RedBold);
    Label3 = MakeLabel(this, QStringLiteral("Label1"), 16, 24, TTextStyle::RedBold);
    Label11 = MakeLabel(this, QStringLiteral("Label1"), 16, 40, TTextStyle::RedBold);
    Bevel1 = MakeBevel(this, {0, 202, 463, 50});
    BitBtn3 = MakeModalButton(this, QStringLiteral("Ok"), {162, 212, 129, 25}, mrOk);
    new TFreshWindowClickGuard(this);
}

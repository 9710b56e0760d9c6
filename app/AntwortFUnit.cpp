#include "app/AntwortFUnit.h"

#include "app/FreshWindowClickGuard.h"

TAntwortForm* AntwortForm = nullptr;

TAntwortForm::TAntwortForm(QWidget* parent) : TModalForm(QStringLiteral("Die Antwort"), 428, 507, parent) {
    Label2 = MakeLabel(this, QStringLiteral("Frage:"), 16, 8);
    Label12 = MakeLabel(this, QStringLiteral("Label12"), 56, 8, TTextStyle::RedBold);
    Memo1 = new TReadOnlyMemo(this, {8, 24, 409, 185}, false);
    Label1 = MakeLabel(this, QStringLiteral("Haben Sie die Antwort gewusst?"), 16, 216);
    Memo2 = new TReadOnlyMemo(this, {8, 232, 409, 209}, false);
    Bevel1 = MakeBevel(this, {0, 457, 428, 50});
    BitBtn3 = MakeModalButton(this, QStringLiteral("Ja, ich wusste die Antwort"), {13, 473, 182, 25}, mrOk);
    BitBtn2 = MakeModalButton(this, QStringLiteral("Nein, ich wusste die Antwort nicht"), {198, 473, 200, 25}, mrCancel);
    new TFreshWindowClickGuard(this);
}

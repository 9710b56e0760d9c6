// TApplication: the trainer's application object. It owns the five windows,
// creates them at start-up in their fixed order (CreateForms) and destroys
// them in reverse order at the end, and it is the one central place where an
// exception that escapes an event handler is caught: its message is shown in
// a message box (through Dialogs()) and the program goes on.
#pragma once

#include <QApplication>
#include <QTranslator>

#include <memory>
#include <vector>

class TApplication : public QApplication {
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    // Creates MainForm, FragenbearbeitenForm, FrageForm, AntwortForm and
    // AuswertungForm, in this order, and sets the program-wide references.
    void CreateForms();
    // The windows in the order of their creation.
    const std::vector<QWidget*>& Forms() const { return FForms; }

    bool notify(QObject* receiver, QEvent* event) override;

    // The running application object.
    static TApplication* Instance() { return static_cast<TApplication*>(QCoreApplication::instance()); }

private:
    template <typename Form>
    void CreateForm(Form*& reference);
    void DestroyForms();

    std::vector<QWidget*> FForms;
    // Qt's own German texts for the standard dialogs (message box buttons,
    // the file dialog); the program's own texts are German already.
    QTranslator FQtTranslation;
};

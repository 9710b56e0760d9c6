#include "app/Application.h"
#include "app/MainUnit.h"

int main(int argc, char** argv) {
    TApplication application(argc, argv);
    application.CreateForms();
    MainForm->show();
    return application.exec();
}

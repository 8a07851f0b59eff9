#include "ui/application.h"
#include "ui/form1.h"

int main(int argc, char *argv[])
{
    ZorvelanApplication app(argc, argv);
    Form1 window;
    window.show();
    return app.exec();
}

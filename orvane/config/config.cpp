#include "orvane/config/config.h"

#include "orvane/core/connect.h"
#include "orvane/core/page.h"
#include "orvane/core/plainpage.h"
#include "orvane/ui/screen.h"

ORVANE_PLAIN_PAGE(Cg1)
ORVANE_PLAIN_PAGE(Cg2)
ORVANE_PLAIN_PAGE(Cg3)
ORVANE_PLAIN_PAGE(Cg4)

bool InitCg1Panel(int parent) {
    return LoadPage(parent, CONFIG1::id, hCg1Panel);
}
bool InitCg2Panel(int parent) {
    return LoadPage(parent, CONFIG2::id, hCg2Panel);
}
bool InitCg3Panel(int parent) {
    return LoadPage(parent, CONFIG3::id, hCg3Panel);
}
bool InitCg4Panel(int parent) {
    return LoadPage(parent, CONFIG4::id, hCg4Panel);
}

bool Cg1Timer() {
    return Ping();
}
bool Cg2Timer() {
    return Ping();
}
bool Cg3Timer() {
    return Ping();
}

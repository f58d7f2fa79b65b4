#include "orvane/params/params.h"

#include "orvane/core/connect.h"
#include "orvane/core/page.h"
#include "orvane/core/plainpage.h"
#include "orvane/ui/screen.h"

ORVANE_PLAIN_PAGE(Pr1)
ORVANE_PLAIN_PAGE(Pr2)
ORVANE_PLAIN_PAGE(Pr3)
ORVANE_PLAIN_PAGE(Pr4)
ORVANE_PLAIN_PAGE(Pr5)
ORVANE_PLAIN_PAGE(Pr6)
ORVANE_PLAIN_PAGE(Pr7)
ORVANE_PLAIN_PAGE(Pr8)
ORVANE_PLAIN_PAGE(Pr9)
ORVANE_PLAIN_PAGE(Pr10)

bool InitPr1Panel(int parent) {
    return LoadPage(parent, PARM1::id, hPr1Panel);
}
bool InitPr2Panel(int parent) {
    return LoadPage(parent, PARM2::id, hPr2Panel);
}
bool InitPr3Panel(int parent) {
    return LoadPage(parent, PARM3::id, hPr3Panel);
}
bool InitPr4Panel(int parent) {
    return LoadPage(parent, PARM4::id, hPr4Panel);
}
bool InitPr5Panel(int parent) {
    return LoadPage(parent, PARM5::id, hPr5Panel);
}
bool InitPr6Panel(int parent) {
    return LoadPage(parent, PARM6::id, hPr6Panel);
}
bool InitPr7Panel(int parent) {
    return LoadPage(parent, PARM7::id, hPr7Panel);
}
bool InitPr8Panel(int parent) {
    return LoadPage(parent, PARM8::id, hPr8Panel);
}
bool InitPr9Panel(int parent) {
    return LoadPage(parent, PARM9::id, hPr9Panel);
}
bool InitPr10Panel(int parent) {
    return LoadPage(parent, PARM10::id, hPr10Panel);
}

bool Pr1Timer() {
    return Ping();
}
bool Pr2Timer() {
    return Ping();
}
bool Pr3Timer() {
    return Ping();
}
bool Pr4Timer() {
    return Ping();
}
bool Pr5Timer() {
    return Ping();
}
bool Pr6Timer() {
    return Ping();
}
bool Pr7Timer() {
    return Ping();
}
bool Pr8Timer() {
    return Ping();
}
bool Pr9Timer() {
    return Ping();
}
bool Pr10Timer() {
    return Ping();
}

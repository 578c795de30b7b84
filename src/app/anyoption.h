// Placeholder.
#ifndef ZT_APP_ANYOPTION_H
#define ZT_APP_ANYOPTION_H
class AnyOption {};
#endif

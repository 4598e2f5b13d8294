// Tables of the single-byte code pages converted without the platform (the native build).
#pragma once

namespace ovrin::detail {

extern const char16_t kCodePage1251[128];
extern const char16_t kCodePage1252[128];

} // namespace ovrin::detail

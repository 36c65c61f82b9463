// Which credit texts of a skin may be handed to the shell. The texts come
// from strangers' skin files, and the shell's "open" runs whatever program,
// document or network path a text names, so only plain web addresses and
// single mail addresses count as links. Char is char (the skin's own
// Shift-JIS bytes, judged a whole character at a time) or wchar_t (the
// texts as the Unicode edition decodes them). No windows.h: tested natively.
#ifndef TKP_DIALOGS_LINKRULES_H
#define TKP_DIALOGS_LINKRULES_H

// 1 when text begins with "http://" or "https://" (in any case) and holds
// no blank or control character; 0 otherwise.
template <typename Char> int IsWebLink(const Char *text);

// 1 when text is one mail address: exactly one "@" with at least one
// character on each side, and no blank, control character or any of
// ? & % " < > \ ; (nothing can ride along after the address); 0 otherwise.
template <typename Char> int IsMailLink(const Char *text);

#endif

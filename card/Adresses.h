#pragma once
// The author's two addresses, constants of the program, set here only. The
// main window hands them to the card component's links: the web page to
// AccederAuSite, the e-mail address to EcrireAuteur in its "mailto:" form
// (a desktop's open service does nothing with a bare mailbox address).
#include <array>
#include <cstddef>

namespace Adresses::detail {
// "a" followed by "b", as one zero-terminated array built at compile time.
template <std::size_t N, std::size_t M>
constexpr std::array<char, N + M - 1> Joindre(const char (&a)[N], const char (&b)[M])
{
    std::array<char, N + M - 1> texte{};
    for (std::size_t i = 0; i + 1 < N; ++i)
        texte[i] = a[i];
    for (std::size_t i = 0; i < M; ++i)
        texte[N - 1 + i] = b[i];
    return texte;
}
inline constexpr char kSchemaCourriel[] = "mailto:";
} // namespace Adresses::detail

// The author's web page.
inline constexpr char kAdresseSite[] = "https://nelvar.example.org/";

// The author's mailbox, bare.
inline constexpr char kAdresseCourriel[] = "auteur@nelvar.example.org";

// The same mailbox as a link the desktop knows how to open:
// "mailto:auteur@nelvar.example.org".
inline constexpr auto kAdresseCourrielMailtoTexte = Adresses::detail::Joindre(Adresses::detail::kSchemaCourriel, kAdresseCourriel);
inline constexpr const char* kAdresseCourrielMailto = kAdresseCourrielMailtoTexte.data();

#pragma once
// The outcome of a plain library's operation that may fail for a
// reason the user must be told: either the value, or the French message that
// says why (with, where the caller records one, the status code that goes
// with it). The caller decides what a failure means: show it, raise the
// framework's exception for it (runtime/Exceptions.h), or go on.
// Issue<void> is the outcome of an operation that gives back nothing: a
// success (`return {};`) or the failure.
#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

struct Echec {
    std::string message;   // UTF-8, shown to the user as it is
    std::int32_t code = 0; // a status code where the caller keeps one, else 0
};

template <typename T>
class [[nodiscard]] Issue {
public:
    Issue(T valeur) : contenu_(std::move(valeur)) {}
    // A value of another type that becomes a T (a pointer to a derived class).
    template <typename U>
        requires(!std::is_same_v<std::remove_cvref_t<U>, T> && !std::is_same_v<std::remove_cvref_t<U>, Echec>
                 && std::is_convertible_v<U &&, T>)
    Issue(U&& valeur) : contenu_(std::in_place_index<0>, std::forward<U>(valeur))
    {
    }
    Issue(Echec echec) : contenu_(std::move(echec)) {}

    bool Reussi() const noexcept { return contenu_.index() == 0; }
    explicit operator bool() const noexcept { return Reussi(); }

    // The value; only when Reussi().
    const T& Valeur() const& { return std::get<0>(contenu_); }
    T& Valeur() & { return std::get<0>(contenu_); }
    T&& Valeur() && { return std::get<0>(std::move(contenu_)); }
    const T& operator*() const& { return Valeur(); }
    const T* operator->() const { return &Valeur(); }

    // The failure; only when !Reussi().
    const Echec& Erreur() const { return std::get<1>(contenu_); }
    const std::string& Message() const { return Erreur().message; }

private:
    std::variant<T, Echec> contenu_;
};

template <>
class [[nodiscard]] Issue<void> {
public:
    Issue() = default;
    Issue(Echec echec) : echec_(std::move(echec)) {}

    bool Reussi() const noexcept { return !echec_.has_value(); }
    explicit operator bool() const noexcept { return Reussi(); }

    // The failure; only when !Reussi().
    const Echec& Erreur() const { return echec_.value(); }
    const std::string& Message() const { return Erreur().message; }

private:
    std::optional<Echec> echec_;
};


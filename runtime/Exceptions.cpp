#include "runtime/Exceptions.h"

EConvertError EConvertError::NotAFloat(const std::string& text)
{
    return EConvertError("'" + text + "' n'est pas une valeur en virgule flottante correcte");
}

EInvalidOp::EInvalidOp() : EMathError("Opération en virgule flottante incorrecte") {}
EZeroDivide::EZeroDivide() : EMathError("Division par zéro en virgule flottante") {}
EOverflow::EOverflow() : EMathError("Débordement en virgule flottante") {}

EInOutError::EInOutError(int errorCode) : Exception(MessageFor(errorCode)), errorCode_(errorCode) {}

std::string EInOutError::MessageFor(int errorCode)
{
    switch (errorCode) {
    case 2: return "Fichier introuvable";
    case 3: return "Nom de fichier incorrect";
    case 4: return "Trop de fichiers ouverts";
    case 5: return "Accès au fichier refusé";
    case 100: return "Lecture au-delà de la fin de fichier";
    case 101: return "Disque plein";
    case 106: return "Saisie numérique incorrecte";
    default: return "Erreur E/S " + std::to_string(errorCode);
    }
}

EOutOfResources::EOutOfResources() : Exception("Pas assez de timers disponibles") {}
EClipboardException::EClipboardException() : Exception("Ne peut ouvrir le Presse-papiers") {}
EOutOfMemory::EOutOfMemory() : Exception("Mémoire insuffisante") {}

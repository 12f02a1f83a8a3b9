#pragma once
// The framework's exceptions. Each carries the French message the user sees
// in the error box; every event handler catches `Exception` once and shows it.
#include <stdexcept>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

private:
    std::string message_; // UTF-8
};

// A text that is not a number: "'%s' n'est pas une valeur en virgule flottante correcte".
class EConvertError : public Exception {
public:
    using Exception::Exception;
    static EConvertError NotAFloat(const std::string& text);
};

// Floating-point failures of the run and export arithmetic.
class EMathError : public Exception {
public:
    using Exception::Exception;
};
class EInvalidOp : public EMathError {
public:
    EInvalidOp();
};
class EZeroDivide : public EMathError {
public:
    EZeroDivide();
};
class EOverflow : public EMathError {
public:
    EOverflow();
};

// Input/output error of a text file, with the framework's code-to-message table.
class EInOutError : public Exception {
public:
    explicit EInOutError(int errorCode);
    int ErrorCode() const noexcept { return errorCode_; }
    static std::string MessageFor(int errorCode);

private:
    int errorCode_;
};

// The window system refused a timer.
class EOutOfResources : public Exception {
public:
    EOutOfResources();
};

// A reading of the acquisition hardware failed (its sampling clock or the
// measuring box does not answer): the run that asked for it stops, and the
// message says why.
class ELectureImpossible : public Exception {
public:
    using Exception::Exception;
};

// The system clipboard could not be opened.
class EClipboardException : public Exception {
public:
    EClipboardException();
};

// An axis property set out of range.
class AxisException : public Exception {
public:
    using Exception::Exception;
};

// Memory exhausted ("Mémoire insuffisante"); raised in place of std::bad_alloc
// where a handler reports it.
class EOutOfMemory : public Exception {
public:
    EOutOfMemory();
};

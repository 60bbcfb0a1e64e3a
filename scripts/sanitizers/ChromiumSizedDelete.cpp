// Linked only into the checking build's programs with windows (tapeScribe and the window tests).
//
// Chromium, inside Qt WebEngine, deletes an object as a smaller type than the one it made: when a web page
// goes, WebContentsAdapter's teardown deletes an 88-byte object as a 24-byte one, and AddressSanitizer
// reports new-delete-type-mismatch. Both types are Chromium's; nothing tapeScribe does with a page changes
// them. This compiler's AddressSanitizer has no suppression for that report, and its flag would end the
// check for tapeScribe's own deletes too. So these programs replace the sized operator delete, as C++ lets
// a program do: a delete made from Qt WebEngine's own code is passed on without its size (deleting memory
// that new did not give, deleting twice or through a wild pointer is still reported); every other delete
// goes on to the sanitizer's sized one and keeps its size check (tests/app/CheckingBuildTest.cpp).

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <new>

namespace {

struct CodeRange
{
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
    bool contains(const void* address) const
    {
        const auto at = reinterpret_cast<std::uintptr_t>(address);
        return at >= begin && at < end;
    }
};

CodeRange findWebEngineCode()
{
    CodeRange range;
    dl_iterate_phdr(
        [](dl_phdr_info* library, size_t, void* found) {
            if (!std::strstr(library->dlpi_name, "/libQt6WebEngineCore.so"))
                return 0;
            auto& code = *static_cast<CodeRange*>(found);
            for (int i = 0; i < library->dlpi_phnum; ++i) {
                const ElfW(Phdr)& segment = library->dlpi_phdr[i];
                if (segment.p_type != PT_LOAD || !(segment.p_flags & PF_X))
                    continue;
                const std::uintptr_t begin = library->dlpi_addr + segment.p_vaddr;
                code.begin = code.begin ? std::min(code.begin, begin) : begin;
                code.end = std::max(code.end, begin + segment.p_memsz);
            }
            return 1;
        },
        &range);
    return range;
}

// Where Qt WebEngine's code lies, once it is loaded: with the program, or later with the module that uses
// it. Zero until then; constant-initialised, so it is there for a delete that comes before any initialiser
// of this file has run.
std::atomic<std::uintptr_t> webEngineCodeBegin { 0 };
std::atomic<std::uintptr_t> webEngineCodeEnd { 0 };

bool calledFromWebEngine(const void* returnAddress)
{
    // Looked for at each delete until it is found; it is never unloaded, so found once is found for good.
    if (!webEngineCodeBegin.load(std::memory_order_acquire)) {
        const CodeRange found = findWebEngineCode();
        if (!found.begin)
            return false;
        webEngineCodeEnd.store(found.end, std::memory_order_relaxed);
        webEngineCodeBegin.store(found.begin, std::memory_order_release);
    }
    const CodeRange webEngineCode { webEngineCodeBegin.load(std::memory_order_acquire),
                                    webEngineCodeEnd.load(std::memory_order_relaxed) };
    return webEngineCode.contains(returnAddress);
}

}

// C++ asks a program that replaces the sized delete to replace the plain one with it: this one is the
// sanitizer's.
void operator delete(void* pointer) noexcept
{
    static const auto sanitizerDelete
        = reinterpret_cast<void (*)(void*) noexcept>(dlsym(RTLD_NEXT, "_ZdlPv"));
    sanitizerDelete(pointer);
}

void operator delete(void* pointer, std::size_t size) noexcept
{
    static const auto sanitizerDelete
        = reinterpret_cast<void (*)(void*, std::size_t) noexcept>(dlsym(RTLD_NEXT, "_ZdlPvm"));
    if (calledFromWebEngine(__builtin_return_address(0)))
        operator delete(pointer);
    else
        sanitizerDelete(pointer, size);
}

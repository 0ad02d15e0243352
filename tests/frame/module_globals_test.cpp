// What sorvanel.dmd keeps in writable memory of its own: the objects its
// symbol table places in .data and .bss. The show's state is one object that
// Init creates and Done destroys; beside its pointer only what must outlive a
// show (the failure detail, the host's requests before Init) may stay
// process-wide, so a new file-scope object of the show fails here. And what
// it exports: the three entry points and the optional exports dmd_api.h
// lists, nothing more and nothing less. Reads the module's ELF symbol tables
// directly.
#include <cxxabi.h>
#include <elf.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "common/dmd_api.h"
#include "real_module.h"

namespace {

constexpr std::size_t kMostWritableObjects = 4;

std::vector<char> readWhole(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

template <typename T>
T readAt(const std::vector<char>& file, std::size_t offset) {
    T value{};
    if (offset + sizeof(T) <= file.size()) std::memcpy(&value, file.data() + offset, sizeof(T));
    return value;
}

std::string demangled(const char* name) {
    int status = 0;
    char* readable = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    std::string result = status == 0 && readable ? readable : name;
    std::free(readable);
    return result;
}

// The toolchain's and the sanitizers' own objects, not the module's.
bool toolchainObject(const std::string& name) {
    return name == "__dso_handle" || name == "__TMC_END__" || name.starts_with("completed.") ||
           name.starts_with("DW.ref.") || name.starts_with("__odr_asan");
}

// The names of the OBJECT symbols in .data and .bss, demangled.
std::set<std::string> writableObjects(const std::vector<char>& file) {
    const auto header = readAt<Elf64_Ehdr>(file, 0);
    auto section = [&](unsigned index) {
        return readAt<Elf64_Shdr>(file, header.e_shoff + std::size_t{index} * header.e_shentsize);
    };
    const Elf64_Shdr names = section(header.e_shstrndx);
    std::set<unsigned> writable;
    unsigned symbolTable = 0;
    for (unsigned i = 0; i < header.e_shnum; ++i) {
        const Elf64_Shdr s = section(i);
        const char* name = file.data() + names.sh_offset + s.sh_name;
        if (std::strcmp(name, ".data") == 0 || std::strcmp(name, ".bss") == 0) writable.insert(i);
        if (s.sh_type == SHT_SYMTAB) symbolTable = i;
    }
    std::set<std::string> objects;
    if (symbolTable == 0) return objects;
    const Elf64_Shdr symbols = section(symbolTable);
    const Elf64_Shdr strings = section(symbols.sh_link);
    for (std::size_t at = 0; at + sizeof(Elf64_Sym) <= symbols.sh_size; at += sizeof(Elf64_Sym)) {
        const auto symbol = readAt<Elf64_Sym>(file, symbols.sh_offset + at);
        if (ELF64_ST_TYPE(symbol.st_info) != STT_OBJECT) continue;
        if (!writable.contains(symbol.st_shndx)) continue;
        const std::string name = file.data() + strings.sh_offset + symbol.st_name;
        if (!toolchainObject(name)) objects.insert(demangled(name.c_str()));
    }
    return objects;
}

// The functions the module defines in its dynamic symbol table: what a host
// can look up.
std::set<std::string> exportedFunctions(const std::vector<char>& file) {
    const auto header = readAt<Elf64_Ehdr>(file, 0);
    std::set<std::string> exported;
    for (unsigned i = 0; i < header.e_shnum; ++i) {
        const auto table =
            readAt<Elf64_Shdr>(file, header.e_shoff + std::size_t{i} * header.e_shentsize);
        if (table.sh_type != SHT_DYNSYM) continue;
        const auto strings = readAt<Elf64_Shdr>(
            file, header.e_shoff + std::size_t{table.sh_link} * header.e_shentsize);
        for (std::size_t at = 0; at + sizeof(Elf64_Sym) <= table.sh_size; at += sizeof(Elf64_Sym)) {
            const auto symbol = readAt<Elf64_Sym>(file, table.sh_offset + at);
            if (symbol.st_shndx == SHN_UNDEF || ELF64_ST_TYPE(symbol.st_info) != STT_FUNC) continue;
            exported.insert(file.data() + strings.sh_offset + symbol.st_name);
        }
    }
    return exported;
}

TEST(ModuleGlobals, TheModuleExportsItsEntryPointsAndTheListedOptionalOnesAlone) {
    const std::vector<char> file = readWhole(kRealModulePath);
    ASSERT_GE(file.size(), sizeof(Elf64_Ehdr)) << kRealModulePath;
    std::set<std::string> expected = {"Init", "RenderScene", "Done"};
#define EXPECTED_NAME(name, member) expected.insert(#name);
    DMD_OPTIONAL_EXPORTS(EXPECTED_NAME)
#undef EXPECTED_NAME
    EXPECT_EQ(exportedFunctions(file), expected);
}

TEST(ModuleGlobals, TheModuleKeepsAtMostFourWritableObjectsOfItsOwn) {
    const std::vector<char> file = readWhole(kRealModulePath);
    ASSERT_GE(file.size(), sizeof(Elf64_Ehdr)) << kRealModulePath;
    ASSERT_EQ(std::memcmp(file.data(), ELFMAG, SELFMAG), 0) << kRealModulePath;
    ASSERT_EQ(file[EI_CLASS], ELFCLASS64);

    const std::set<std::string> objects = writableObjects(file);
    std::string list;
    for (const std::string& name : objects) list += "\n  " + name;
    std::printf("writable objects of sorvanel.dmd's own: %zu%s\n", objects.size(), list.c_str());
    // A module without a symbol table would pass by reading nothing.
    ASSERT_FALSE(objects.empty()) << "no symbol table read from " << kRealModulePath;
    EXPECT_LE(objects.size(), kMostWritableObjects) << list;
}

}  // namespace

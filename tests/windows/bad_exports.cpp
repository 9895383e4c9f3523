// A DLL that exports what ostrelbase.dll must not: the export check has to reject it.
extern "C" __declspec(dllexport) const char* ResolveEntityReferences(const char* text) {
    return text;
}

namespace Ostrel {
namespace detail {
__declspec(dllexport) int helper(int x) { return x + 1; }
} // namespace detail
} // namespace Ostrel

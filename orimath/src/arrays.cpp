#include "orimath/arrays.h"

#include <cstdlib>

// Pointer-tree arrays: each level is its own malloc'd table. Allocation is
// all-or-nothing: a failure at any level frees what was built and returns
// null, so callers that only test the top pointer never see a partial tree.
namespace orimath {
namespace {

template <class T> T* AllocTable(int n) {
    // One element at least, so that an empty dimension still gives a
    // distinct, freeable pointer.
    return static_cast<T*>(std::malloc(sizeof(T) * static_cast<size_t>(n > 0 ? n : 1)));
}

template <class T> void Free2(T** a, int d0) {
    if (!a)
        return;
    for (int i = 0; i < d0; ++i)
        std::free(a[i]);
    std::free(a);
}

template <class T> void Free3(T*** a, int d0, int d1) {
    if (!a)
        return;
    for (int i = 0; i < d0; ++i)
        Free2(a[i], d1);
    std::free(a);
}

template <class T> void Free4(T**** a, int d0, int d1, int d2) {
    if (!a)
        return;
    for (int i = 0; i < d0; ++i)
        Free3(a[i], d1, d2);
    std::free(a);
}

template <class T> T** Alloc2(int d0, int d1) {
    if (d0 < 0 || d1 < 0)
        return nullptr;
    T** a = AllocTable<T*>(d0);
    if (!a)
        return nullptr;
    for (int i = 0; i < d0; ++i) {
        a[i] = AllocTable<T>(d1);
        if (!a[i]) {
            Free2(a, i);
            return nullptr;
        }
    }
    return a;
}

template <class T> T*** Alloc3(int d0, int d1, int d2) {
    if (d0 < 0 || d1 < 0 || d2 < 0)
        return nullptr;
    T*** a = AllocTable<T**>(d0);
    if (!a)
        return nullptr;
    for (int i = 0; i < d0; ++i) {
        a[i] = Alloc2<T>(d1, d2);
        if (!a[i]) {
            Free3(a, i, d1);
            return nullptr;
        }
    }
    return a;
}

template <class T> T**** Alloc4(int d0, int d1, int d2, int d3) {
    if (d0 < 0 || d1 < 0 || d2 < 0 || d3 < 0)
        return nullptr;
    T**** a = AllocTable<T***>(d0);
    if (!a)
        return nullptr;
    for (int i = 0; i < d0; ++i) {
        a[i] = Alloc3<T>(d1, d2, d3);
        if (!a[i]) {
            Free4(a, i, d1, d2);
            return nullptr;
        }
    }
    return a;
}

} // namespace
} // namespace orimath

using orimath::Alloc2;
using orimath::Alloc3;
using orimath::Alloc4;
using orimath::Free2;
using orimath::Free3;
using orimath::Free4;

double** AllocMem2D(int d0, int d1) {
    return Alloc2<double>(d0, d1);
}
float** AllocMem2F(int d0, int d1) {
    return Alloc2<float>(d0, d1);
}
int32_t** AllocMem2L(int d0, int d1) {
    return Alloc2<int32_t>(d0, d1);
}
int16_t** AllocMem2S(int d0, int d1) {
    return Alloc2<int16_t>(d0, d1);
}
double*** AllocMem3D(int d0, int d1, int d2) {
    return Alloc3<double>(d0, d1, d2);
}
float*** AllocMem3F(int d0, int d1, int d2) {
    return Alloc3<float>(d0, d1, d2);
}
int32_t*** AllocMem3L(int d0, int d1, int d2) {
    return Alloc3<int32_t>(d0, d1, d2);
}
int16_t*** AllocMem3S(int d0, int d1, int d2) {
    return Alloc3<int16_t>(d0, d1, d2);
}
double**** AllocMem4D(int d0, int d1, int d2, int d3) {
    return Alloc4<double>(d0, d1, d2, d3);
}
int16_t**** AllocMem4S(int d0, int d1, int d2, int d3) {
    return Alloc4<int16_t>(d0, d1, d2, d3);
}

void FreeMem2D(double** a, int d0, int) {
    Free2(a, d0);
}
void FreeMem2F(float** a, int d0, int) {
    Free2(a, d0);
}
void FreeMem2L(int32_t** a, int d0, int) {
    Free2(a, d0);
}
void FreeMem2S(int16_t** a, int d0, int) {
    Free2(a, d0);
}
void FreeMem3D(double*** a, int d0, int d1, int) {
    Free3(a, d0, d1);
}
void FreeMem3F(float*** a, int d0, int d1, int) {
    Free3(a, d0, d1);
}
void FreeMem3L(int32_t*** a, int d0, int d1, int) {
    Free3(a, d0, d1);
}
void FreeMem3S(int16_t*** a, int d0, int d1, int) {
    Free3(a, d0, d1);
}
void FreeMem4D(double**** a, int d0, int d1, int d2, int) {
    Free4(a, d0, d1, d2);
}
void FreeMem4S(int16_t**** a, int d0, int d1, int d2, int) {
    Free4(a, d0, d1, d2);
}

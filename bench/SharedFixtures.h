#pragma once

#include <QtGlobal>

#include <map>
#include <memory>
#include <typeindex>
#include <utility>

namespace tarvo::bench {

// What the benchmarks build once and share between their runs, such as a database of a given number of
// rows. main() owns the one store and empties it once the benchmarks have run, while the application
// object and Qt's globals still exist: a database connection closed after them crashes the program at
// its exit.
class SharedFixtures
{
public:
    SharedFixtures() { s_current = this; }
    ~SharedFixtures()
    {
        m_built.clear();
        s_current = nullptr;
    }
    SharedFixtures(const SharedFixtures&) = delete;
    SharedFixtures& operator=(const SharedFixtures&) = delete;

    // The fixture T(size), built on its first use.
    template <class T>
    static T& sized(int size)
    {
        if (!s_current)
            qFatal("a shared benchmark fixture is used outside the benchmarks' run");
        std::shared_ptr<void>& slot = s_current->m_built[{std::type_index(typeid(T)), size}];
        if (!slot)
            slot = std::make_shared<T>(size);
        return *static_cast<T*>(slot.get());
    }

private:
    inline static SharedFixtures* s_current = nullptr;
    std::map<std::pair<std::type_index, int>, std::shared_ptr<void>> m_built;
};

} // namespace tarvo::bench

#pragma once

#include "ZUL_Tools_VB.h"

#include <QString>
#include <stdexcept>

class Operator;

// The capture-library calls the application makes. The program binds the
// library at run time, so a machine without it still runs every file-based
// command; tests put a fake in its place.
class CardLibrary {
public:
    virtual ~CardLibrary() = default;

    virtual int init() = 0;
    virtual int closedown(int flag) = 0;
    virtual int testSignal(ZulConfig *config) = 0;
    virtual int defaultConfig(ZulConfig *config) = 0;
    virtual int readIniFile(const QString &fileName, const QString &section, ZulConfig *config) = 0;
    virtual int saveIniFile(const QString &fileName, const QString &section, const ZulConfig *config) = 0;
    virtual int prepare(ZulConfig *config, int force) = 0;
    virtual int defaultPalette(ZulSurface *surface, int gray) = 0;
    virtual int releasePalette() = 0;
    virtual int snap(ZulConfig *config) = 0;
    virtual int readoutDIB(ZulConfig *config, ZulHandle *out) = 0;
    virtual int snapAverageDIB(ZulConfig *config, ZulHandle *out, int frames, int divisor) = 0;
    virtual int drawDIB(ZulSurface *surface, ZulHandle bitmap, int x, int y, int width, int height) = 0;
    virtual QString errorString(int code) = 0;
    virtual void globalFree(ZulHandle block) = 0;
};

// Thrown when the library file or one of its exports cannot be bound: a
// run-time failure of the command that needed the card.
class CardLibraryUnavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Opens libZUL_Tools_VB.so from a folder (the program's own by default) on
// the first call and resolves each export by name on its first use. A
// library built for another interface version is refused as unavailable.
class DynamicCardLibrary : public CardLibrary {
public:
    explicit DynamicCardLibrary(QString folder = QString());
    ~DynamicCardLibrary() override;
    DynamicCardLibrary(const DynamicCardLibrary &) = delete;
    DynamicCardLibrary &operator=(const DynamicCardLibrary &) = delete;

    int init() override;
    int closedown(int flag) override;
    int testSignal(ZulConfig *config) override;
    int defaultConfig(ZulConfig *config) override;
    int readIniFile(const QString &fileName, const QString &section, ZulConfig *config) override;
    int saveIniFile(const QString &fileName, const QString &section, const ZulConfig *config) override;
    int prepare(ZulConfig *config, int force) override;
    int defaultPalette(ZulSurface *surface, int gray) override;
    int releasePalette() override;
    int snap(ZulConfig *config) override;
    int readoutDIB(ZulConfig *config, ZulHandle *out) override;
    int snapAverageDIB(ZulConfig *config, ZulHandle *out, int frames, int divisor) override;
    int drawDIB(ZulSurface *surface, ZulHandle bitmap, int x, int y, int width, int height) override;
    QString errorString(int code) override;
    void globalFree(ZulHandle block) override;

    QString libraryPath() const;

    // The messages the library shows itself ("Can't allocate memory !" and
    // the like) go to this operator as message boxes once it is loaded. The
    // library has one receiver: the binding that loaded it last takes them,
    // and none does once that binding is gone.
    void showMessagesTo(Operator *op);

private:
    void *symbol(const char *name);
    void *resolve(const char *name);
    void load();
    void installMessageHook();
    static void onLibraryMessage(const char *text, const char *title, void *context);
    template <typename Function>
    Function *bind(Function *&slot, const char *name)
    {
        if (!slot)
            slot = reinterpret_cast<Function *>(symbol(name));
        return slot;
    }

    QString folder_;
    void *handle_ = nullptr;
    Operator *messages_ = nullptr;
    struct Exports;
    Exports *exports_;
};

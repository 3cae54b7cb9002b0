#include "card_library.h"

#include "operator.h"

#include <QCoreApplication>
#include <QFile>
#include <dlfcn.h>

struct DynamicCardLibrary::Exports {
    decltype(&ZUL_init) init = nullptr;
    decltype(&ZUL_closedown) closedown = nullptr;
    decltype(&ZUL_testSignal) testSignal = nullptr;
    decltype(&ZULX_defaultConfig) defaultConfig = nullptr;
    decltype(&ZULX_readIniFile) readIniFile = nullptr;
    decltype(&ZULX_saveIniFile) saveIniFile = nullptr;
    decltype(&ZULX_prepare) prepare = nullptr;
    decltype(&ZULX_defaultPalette) defaultPalette = nullptr;
    decltype(&ZULX_releasePalette) releasePalette = nullptr;
    decltype(&ZULX_snap) snap = nullptr;
    decltype(&ZULX_readoutDIB) readoutDIB = nullptr;
    decltype(&ZULX_snapAverageDIB) snapAverageDIB = nullptr;
    decltype(&ZULX_drawDIB) drawDIB = nullptr;
    decltype(&ZUL_errorString) errorString = nullptr;
    decltype(&ZUL_globalFree) globalFree = nullptr;
};

DynamicCardLibrary::DynamicCardLibrary(QString folder)
    : folder_(std::move(folder)), exports_(new Exports)
{
}

DynamicCardLibrary::~DynamicCardLibrary()
{
    // The library keeps process-wide card state; it stays loaded until the
    // program ends, as its callers expect. Only its messages stop coming
    // here.
    if (handle_ && messages_)
        if (auto *setHook = reinterpret_cast<decltype(&ZUL_setMessageHook)>(dlsym(handle_, "ZUL_setMessageHook")))
            setHook(nullptr, nullptr);
    delete exports_;
}

QString DynamicCardLibrary::libraryPath() const
{
    const QString folder = folder_.isEmpty() ? QCoreApplication::applicationDirPath() : folder_;
    return folder + QStringLiteral("/libZUL_Tools_VB.so");
}

void DynamicCardLibrary::showMessagesTo(Operator *op)
{
    messages_ = op;
    if (handle_)
        installMessageHook();
}

void DynamicCardLibrary::load()
{
    const QString path = libraryPath();
    void *handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        throw CardLibraryUnavailable("The capture library could not be loaded: " + std::string(dlerror()));
    auto *version = reinterpret_cast<decltype(&ZUL_interfaceVersion)>(dlsym(handle, "ZUL_interfaceVersion"));
    const int found = version ? version() : 0;
    if (found != ZUL_INTERFACE_VERSION) {
        dlclose(handle);
        throw CardLibraryUnavailable("The capture library " + std::string(QFile::encodeName(path).constData()) +
                                     " has interface version " + std::to_string(found) + ", Isostep needs " +
                                     std::to_string(ZUL_INTERFACE_VERSION));
    }
    handle_ = handle;
    installMessageHook();
}

void DynamicCardLibrary::installMessageHook()
{
    if (messages_)
        reinterpret_cast<decltype(&ZUL_setMessageHook)>(resolve("ZUL_setMessageHook"))(onLibraryMessage, this);
}

void DynamicCardLibrary::onLibraryMessage(const char *text, const char *title, void *context)
{
    auto *self = static_cast<DynamicCardLibrary *>(context);
    if (self->messages_)
        self->messages_->tell(QString::fromLocal8Bit(text), QString::fromLocal8Bit(title), Operator::Icon::None);
}

void *DynamicCardLibrary::resolve(const char *name)
{
    dlerror();
    void *address = dlsym(handle_, name);
    if (!address)
        throw CardLibraryUnavailable(std::string("The capture library has no function ") + name);
    return address;
}

void *DynamicCardLibrary::symbol(const char *name)
{
    if (!handle_)
        load();
    return resolve(name);
}

int DynamicCardLibrary::init() { return bind(exports_->init, "ZUL_init")(); }
int DynamicCardLibrary::closedown(int flag) { return bind(exports_->closedown, "ZUL_closedown")(flag); }
int DynamicCardLibrary::testSignal(ZulConfig *config) { return bind(exports_->testSignal, "ZUL_testSignal")(config); }
int DynamicCardLibrary::defaultConfig(ZulConfig *config)
{
    return bind(exports_->defaultConfig, "ZULX_defaultConfig")(config);
}
int DynamicCardLibrary::readIniFile(const QString &fileName, const QString &section, ZulConfig *config)
{
    return bind(exports_->readIniFile, "ZULX_readIniFile")(QFile::encodeName(fileName).constData(),
                                                          section.toLocal8Bit().constData(), config);
}
int DynamicCardLibrary::saveIniFile(const QString &fileName, const QString &section, const ZulConfig *config)
{
    return bind(exports_->saveIniFile, "ZULX_saveIniFile")(QFile::encodeName(fileName).constData(),
                                                          section.toLocal8Bit().constData(), config);
}
int DynamicCardLibrary::prepare(ZulConfig *config, int force)
{
    return bind(exports_->prepare, "ZULX_prepare")(config, force);
}
int DynamicCardLibrary::defaultPalette(ZulSurface *surface, int gray)
{
    return bind(exports_->defaultPalette, "ZULX_defaultPalette")(surface, gray);
}
int DynamicCardLibrary::releasePalette() { return bind(exports_->releasePalette, "ZULX_releasePalette")(); }
int DynamicCardLibrary::snap(ZulConfig *config) { return bind(exports_->snap, "ZULX_snap")(config); }
int DynamicCardLibrary::readoutDIB(ZulConfig *config, ZulHandle *out)
{
    return bind(exports_->readoutDIB, "ZULX_readoutDIB")(config, out);
}
int DynamicCardLibrary::snapAverageDIB(ZulConfig *config, ZulHandle *out, int frames, int divisor)
{
    return bind(exports_->snapAverageDIB, "ZULX_snapAverageDIB")(config, out, frames, divisor);
}
int DynamicCardLibrary::drawDIB(ZulSurface *surface, ZulHandle bitmap, int x, int y, int width, int height)
{
    return bind(exports_->drawDIB, "ZULX_drawDIB")(surface, bitmap, x, y, width, height);
}
QString DynamicCardLibrary::errorString(int code)
{
    return QString::fromLatin1(bind(exports_->errorString, "ZUL_errorString")(code));
}
void DynamicCardLibrary::globalFree(ZulHandle block)
{
    bind(exports_->globalFree, "ZUL_globalFree")(block);
}

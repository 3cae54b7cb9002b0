#include "virtual_card.h"

#include "driver_selection.h"

#include <cstdlib>

namespace zul::vcard {
namespace {

std::shared_ptr<VirtualCard> &installed()
{
    static std::shared_ptr<VirtualCard> card;
    return card;
}

class VirtualChannel final : public DriverChannel {
public:
    explicit VirtualChannel(std::shared_ptr<VirtualCard> card) : card_(std::move(card)) {}
    ~VirtualChannel() override { close(); }

    bool open() override
    {
        opened_ = card_->openDevice();
        return opened_;
    }

    void close() override
    {
        if (opened_)
            card_->closeDevice();
        opened_ = false;
    }

    bool control(std::uint32_t code, const void *input, std::size_t inputSize, void *output,
                 std::size_t outputSize, std::uint32_t *returned) override
    {
        return opened_ && card_->request(code, input, inputSize, output, outputSize, returned);
    }

    std::uint8_t readWindowByte(std::uint32_t offset) override { return card_->readWindowByte(offset); }
    void writeWindowByte(std::uint32_t offset, std::uint8_t value) override
    {
        card_->writeWindowByte(offset, value);
    }
    std::uint16_t readWindowWord(std::uint32_t offset) override { return card_->readWindowWord(offset); }
    void pause(unsigned milliseconds) override { card_->pause(milliseconds); }

private:
    std::shared_ptr<VirtualCard> card_;
    bool opened_ = false;
};

} // namespace

std::shared_ptr<VirtualCard> installVirtualCard(VirtualCardOptions options)
{
    installed() = std::make_shared<VirtualCard>(std::move(options));
    chooseDriver(DriverChoice::Virtual);
    return installed();
}

std::shared_ptr<VirtualCard> installedVirtualCard()
{
    return installed();
}

void removeVirtualCard()
{
    installed().reset();
}

std::unique_ptr<DriverChannel> makeVirtualChannel()
{
    if (!installed()) {
        const char *text = std::getenv("ZUL_VIRTUAL_CARD");
        installed() = std::make_shared<VirtualCard>(parseVirtualCardOptions(text ? text : "").options);
    }
    return std::make_unique<VirtualChannel>(installed());
}

} // namespace zul::vcard

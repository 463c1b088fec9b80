#include "FuzzSupport.h"
#include "integrations/WebhookManager.h"
#include "support/ManualTime.h"

using namespace larkspur;

// The manager reads the address and writes it straight back: that write must keep it. Nothing
// is fired, so no address is ever contacted.
void fuzzOne(const QByteArray& input) {
    static const fuzz::ShmFolder folder;
    using Address = std::optional<QString>;
    const auto address = fuzz::decodeText(input, JsonCodecFor<Address>::decode);
    if (address) fuzz::checkSaveReadsBack(*address);
    folder.reset(kWebhookUrlFile, input);
    const StorageManager storage(folder.path);
    test::ManualTime time;
    const WebhookManager webhooks(storage, time, time);
    fuzz::check(webhooks.webhookURL() == address.value_or(std::nullopt),
                "the manager holds another address than the file");
    if (fuzz::holdsByteOrderMark(folder.read(kWebhookUrlFile))) return;
    const auto written = storage.load<Address>(kWebhookUrlFile);
    fuzz::check(written && *written == webhooks.webhookURL(), "the address written back differs");
}

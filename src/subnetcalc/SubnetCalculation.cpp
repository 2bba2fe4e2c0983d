#include "subnetcalc/SubnetCalculation.h"

namespace tarvo {

int octetValue(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return 0;
    for (QChar c : trimmed) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
    }
    bool ok = false;
    const int value = trimmed.toInt(&ok);
    return ok ? value : -1;
}

QString SubnetResult::networkIdText() const
{
    return dottedAddress(network) + QLatin1Char('/') + QString::number(prefix);
}

namespace {

SubnetCalculation problemAt(EntryProblem problem, int box)
{
    SubnetCalculation calculation;
    calculation.problem = problem;
    calculation.problemBox = box;
    return calculation;
}

std::array<int, 4> octetValues(const OctetTexts& texts)
{
    std::array<int, 4> values{};
    for (int i = 0; i < 4; ++i)
        values[i] = octetValue(texts[i]);
    return values;
}

// The first mask box that breaks the run of one bits: the first non-zero box after the box that
// holds the last one bits.
int firstBoxPastGap(const std::array<int, 4>& mask)
{
    int box = 0;
    while (box < 4 && mask[box] == 255)
        ++box;
    for (++box; box < 4; ++box) {
        if (mask[box] != 0)
            return box;
    }
    return 0;
}

} // namespace

SubnetCalculation calculateSubnet(const OctetTexts& addressTexts, const OctetTexts& maskTexts)
{
    const std::array<int, 4> address = octetValues(addressTexts);
    const std::array<int, 4> mask = octetValues(maskTexts);

    if (address == std::array<int, 4>{0, 0, 0, 0})
        return problemAt(EntryProblem::NoAddress, 0);
    for (int box = 0; box < 4; ++box) {
        if (address[box] < 0 || address[box] > 255)
            return problemAt(EntryProblem::AddressOctetOutOfRange, box);
    }
    for (int box = 0; box < 4; ++box) {
        if (!isValidMaskOctet(mask[box]))
            return problemAt(EntryProblem::InvalidMaskOctet, box);
    }
    SubnetCalculation calculation;
    SubnetResult& result = calculation.result;
    result.mask = addressFromOctets(mask);
    const std::optional<int> prefix = prefixLength(result.mask);
    if (!prefix)
        return problemAt(EntryProblem::MaskNotContiguous, firstBoxPastGap(mask));

    result.address = addressFromOctets(address);
    result.prefix = *prefix;
    result.network = networkOf(result.address, result.mask);
    result.broadcast = broadcastOf(result.address, result.mask);
    result.addressClass = classOfNetwork(result.network);
    result.hostCount = usableHostCount(result.prefix);
    result.subnets = SubnetList::around(result.network, result.prefix);
    result.selectedRow = result.subnets.rowOf(result.network);
    return calculation;
}

} // namespace tarvo

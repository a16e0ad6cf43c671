// SPDX-License-Identifier: MIT
#include "ServiceList.h"

#include "Dates.h"
#include "JsonParser.h"
#include "RunTimeError.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace {
const QString CRLF = u"\r\n"_s;

// A reply's number as the whole number the provider means; a missing value is 0.
int32_t wholeNumber(const JsonValue& value)
{
    if (value.isEmpty())
        return 0;
    bool ok = false;
    const double number = value.toNumber(&ok);
    if (!ok)
        throw RunTimeError(RunTimeErrorNumber::TypeMismatch, u"Type mismatch"_s);
    const double rounded = roundHalfEven(number);
    if (rounded < double(std::numeric_limits<int32_t>::min()) || rounded > double(std::numeric_limits<int32_t>::max()))
        throw RunTimeError(6, u"Overflow"_s);
    return int32_t(rounded);
}

bool offersUsage(const JsonValue& actions)
{
    for (const JsonDictionary::Entry& action : *actions.dictionary()) {
        if (action.value.toText() == u"Usage"_s)
            return true;
    }
    return false;
}
} // namespace

void ServiceList::raise(const QString& procedure, const QString& text, int16_t level) const
{
    if (m_status)
        m_status(u"Pelborne."_s + procedure + u": "_s + text, level);
}

bool ServiceList::ParseServiceList(const QString& reply, QString& error)
{
    try {
        raise(u"ParseServiceList"_s, u"parsing JSON service list"_s, 6);
        JsonValue root;
        QString parseError;
        if (!JsonParse2(reply, root, parseError, JsonTextEnd::MustClose)) {
            error = u"failed to parse JSON: "_s + parseError;
            return false;
        }

        const int32_t success = wholeNumber(root.value(u"success"_s));
        if (success == 0) {
            error = u"Quolla said: "_s + root.value(u"error"_s).toText();
            return false;
        }
        if (success != 1) {
            error = u"unexpected return value in JSON: "_s + QString::number(success);
            return false;
        }

        const JsonValue& list = root.value(u"response"_s).value(u"service_list"_s);
        raise(u"ParseServiceList"_s, u"found "_s + QString::number(list.count()) + u" services"_s, 6);

        // Built aside, so a reply that fails half-way leaves the earlier list whole.
        QStringList names;
        QStringList tokens;
        for (const JsonDictionary::Entry& entry : *list.dictionary()) {
            // A service without actions is a broken reply: count() raises on the missing value.
            const JsonValue& actions = entry.value.value(u"actions"_s);
            if (actions.count() == 0 || !offersUsage(actions))
                continue;
            const QString name = entry.value.value(u"pk_v"_s).toText();
            raise(u"ParseServiceList"_s, u"service ["_s + name + u"] has Usage action"_s, 6);
            names.append(name);
            tokens.append(entry.value.value(u"s_token"_s).toText());
        }
        const QString token = root.value(u"token"_s).toText();

        m_names = std::move(names);
        m_tokens = std::move(tokens);
        m_loginToken = token;
        return true;
    } catch (const RunTimeError& e) {
        error = u"failed to parse JSON service list:"_s + CRLF + e.text();
        return false;
    }
}

QString ServiceList::ServiceToken(const QString& name) const
{
    if (m_count == 0)
        return {};
    const QString prefix = name + u'@';
    for (qsizetype i = 0; i < m_names.size() && i < m_tokens.size(); ++i) {
        const QString& candidate = m_names[i];
        if (candidate == name || candidate.startsWith(prefix, Qt::CaseInsensitive)) {
            raise(u"ServiceToken"_s, u"looking for '"_s + name + u"' in service list, found '"_s + candidate + u"'"_s,
                  6);
            return m_tokens[i];
        }
    }
    return {};
}

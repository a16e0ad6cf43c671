// SPDX-License-Identifier: MIT
#pragma once

#include "CoreTestContext.h"
#include "FakeProvider.h"
#include "ProviderLinks.h"
#include "TransportTestSupport.h"
#include "frmVersionCheck.h"
#include "modVersionCheck.h"

#include <QDialog>
#include <QLabel>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

// A version check against the fake provider over TLS, with the dialog kept instead of shown and
// the links recorded instead of opened.
class VersionCheckFixture : public ::testing::Test
{
protected:
    static constexpr auto versionPath = "/software/Tallyroo/version/";

    // A stand-in for the options dialog: found by its name, its status label by its own.
    struct OptionsDialog
    {
        QDialog dialog;
        QLabel* lblStatus = new QLabel(QStringLiteral("before"), &dialog);
        OptionsDialog()
        {
            dialog.setObjectName(QStringLiteral("frmConfig"));
            lblStatus->setObjectName(QStringLiteral("lblStatus"));
            dialog.show();
        }
    };

    struct Shown
    {
        std::unique_ptr<frmVersionCheck> dialog;
        bool background = false;
    };

    void SetUp() override
    {
        ASSERT_TRUE(TransportTestSupport::startTls(provider));
        check.setSiteBase(provider.baseUrl());
        check.setDialogPresenter([this](std::unique_ptr<frmVersionCheck> dialog, bool background) {
            shown.push_back({std::move(dialog), background});
        });
    }

    void serveVersion(const QByteArray& body, int status = 200)
    {
        provider.addRule(TransportTestSupport::rule(QString::fromLatin1(versionPath), status, body));
    }

    QString profileKey() const { return ctx.app.profileKey(ctx.run.ProfileNumber); }
    std::optional<QString> lastCheck() { return ctx.text(profileKey(), QStringLiteral("VerCheckLast")); }
    qsizetype versionRequests() const
    {
        qsizetype count = 0;
        for (const FakeProvider::Request& request : provider.requests())
            count += request.path == QLatin1String(versionPath) ? 1 : 0;
        return count;
    }

    CoreTestContext ctx{QString::fromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name())};
    QStringList opened;
    ProviderLinks links{ctx.app, ctx.settings, ctx.run, ctx.registry, ctx.log, ctx.window, [this](const QString& t) {
                            opened.append(t);
                            return true;
                        }};
    std::optional<TransportTestSupport::TrustTestAuthority> trust{std::in_place};
    FakeProvider provider{TransportTestSupport::fixturesDir() + QStringLiteral("/provider")};
    modVersionCheck check{
        VersionCheckContext{ctx.app, ctx.settings, ctx.run, ctx.log, ctx.registry, ctx.clock, links, ctx.window}};
    std::vector<Shown> shown;
};

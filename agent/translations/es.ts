<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>Agent</name>
    <message>
        <source>%1 Agent</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t connect to the %1 system service</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The connection to the %1 system service was lost</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter your password to access Agent settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter your password to stop filtering</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter your password to set the active profile</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter your password to uninstall %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t reach %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A %1 system service error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The service part of %1 Agent doesn&apos;t work. Probably the service is still starting. If it doesn&apos;t start in a minute try to start it manually. Notice, %1 Agent doesn&apos;t work without this service.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connecting to the %1 system service...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The %1 system service is successfully connected and now waiting for the end of initialization steps</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Identification failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filtering is disabled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 Agent can&apos;t retrieve the information about internet connections on this computer. Probably the computer is disconnected from the internet or the type of your connection isn&apos;t supported by the Agent yet.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filtering isn&apos;t activated on any of network connections. To activate it, click on the Settings button.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filtering is turned off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To turn on filtering, click the button in the bottom left corner</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The internet is under control</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This computer is successfully connected to the service and is filtered according to your account settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t set up identification of this computer on service</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start filtering</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>AppUpdater</name>
    <message>
        <source>Latest version is installed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProfileListModel</name>
    <message>
        <source>Active</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Stop filtering</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Until start or reboot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>10 minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>30 minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 hour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exit</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Window</name>
    <message>
        <source>Minimize</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Home</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filtering</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://my.corvane.example/password-recovery&quot;&gt;Forgot my password&lt;/a&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unlock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Email</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sign in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://my.corvane.example/signup&quot;&gt;No account?&lt;/a&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>General</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Protect settings with password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Agent icon in the system tray</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatically check for updates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Network connections</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Protected network connections</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DNS server</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0.0.0.0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Phone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Website</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>To make the work of technical support more effective please send a system information report with a description of your problem</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Manual</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Get support</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>System information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check for updates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Profiles</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Content filtering settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Categories of sites, exceptions and aliases</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Filtering profiles and local users</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Common settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Startup, updates and network connections</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Authentication settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your login and password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your password is incorrect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your login or password is incorrect</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>

<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="tr">
<context>
    <name>Agent</name>
    <message>
        <source>%1 Agent</source>
        <translation>%1 Agent</translation>
    </message>
    <message>
        <source>Can't connect to the %1 system service</source>
        <translation>%1 sistem hizmetine bağlanılamıyor</translation>
    </message>
    <message>
        <source>The connection to the %1 system service was lost</source>
        <translation>%1 sistem hizmetiyle bağlantı kesildi</translation>
    </message>
    <message>
        <source>Enter your password to access Agent settings</source>
        <translation>Ajan ayarlarına erişmek için parolanızı girin</translation>
    </message>
    <message>
        <source>Enter your password to stop filtering</source>
        <translation>Filtrelemeyi durdurmak için parolanızı girin</translation>
    </message>
    <message>
        <source>Enter your password to set the active profile</source>
        <translation>Etkin profili seçmek için parolanızı girin</translation>
    </message>
    <message>
        <source>Enter your password to uninstall %1</source>
        <translation>%1 uygulamasını kaldırmak için parolanızı girin</translation>
    </message>
    <message>
        <source>Can't reach %1</source>
        <translation>%1 hizmetine ulaşılamıyor</translation>
    </message>
    <message>
        <source>A %1 system service error</source>
        <translation>%1 sistem hizmeti hatası</translation>
    </message>
    <message>
        <source>The service part of %1 Agent doesn't work. Probably the service is still starting. If it doesn't start in a minute try to start it manually. Notice, %1 Agent doesn't work without this service.</source>
        <translation>%1 Agent hizmet bileşeni çalışmıyor. Hizmet büyük olasılıkla hâlâ başlatılıyor. Bir dakika içinde başlamazsa elle başlatmayı deneyin. %1 Agent bu hizmet olmadan çalışmaz.</translation>
    </message>
    <message>
        <source>Connecting to the %1 system service...</source>
        <translation>%1 sistem hizmetine bağlanılıyor...</translation>
    </message>
    <message>
        <source>The %1 system service is successfully connected and now waiting for the end of initialization steps</source>
        <translation>%1 sistem hizmetine bağlanıldı; başlatma adımlarının bitmesi bekleniyor</translation>
    </message>
    <message>
        <source>Identification failed</source>
        <translation>Tanımlama başarısız</translation>
    </message>
    <message>
        <source>Filtering is disabled</source>
        <translation>Filtreleme devre dışı</translation>
    </message>
    <message>
        <source>%1 Agent can't retrieve the information about internet connections on this computer. Probably the computer is disconnected from the internet or the type of your connection isn't supported by the Agent yet.</source>
        <translation>%1 Agent bu bilgisayarın internet bağlantıları hakkında bilgi alamıyor. Bilgisayarın internet bağlantısı kesilmiş olabilir ya da bağlantı türünüz henüz desteklenmiyor olabilir.</translation>
    </message>
    <message>
        <source>Filtering isn't activated on any of network connections. To activate it, click on the Settings button.</source>
        <translation>Filtreleme hiçbir ağ bağlantısında etkin değil. Etkinleştirmek için Ayarlar düğmesine tıklayın.</translation>
    </message>
    <message>
        <source>Filtering is turned off</source>
        <translation>Filtreleme kapalı</translation>
    </message>
    <message>
        <source>To turn on filtering, click the button in the bottom left corner</source>
        <translation>Filtrelemeyi açmak için sol alt köşedeki düğmeye tıklayın</translation>
    </message>
    <message>
        <source>The internet is under control</source>
        <translation>İnternet denetim altında</translation>
    </message>
    <message>
        <source>This computer is successfully connected to the service and is filtered according to your account settings</source>
        <translation>Bu bilgisayar hizmete bağlı ve hesap ayarlarınıza göre filtreleniyor</translation>
    </message>
    <message>
        <source>Can't set up identification of this computer on service</source>
        <translation>Bu bilgisayarın hizmette tanımlanması ayarlanamıyor</translation>
    </message>
    <message>
        <source>Start filtering</source>
        <translation>Filtrelemeyi başlat</translation>
    </message>
</context>
<context>
    <name>AppUpdater</name>
    <message>
        <source>Latest version is installed</source>
        <translation>En son sürüm yüklü</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Stop filtering</source>
        <translation>Filtrelemeyi durdur</translation>
    </message>
    <message>
        <source>Until start or reboot</source>
        <translation>Başlatana veya yeniden başlatana kadar</translation>
    </message>
    <message>
        <source>10 minutes</source>
        <translation>10 dakika</translation>
    </message>
    <message>
        <source>30 minutes</source>
        <translation>30 dakika</translation>
    </message>
    <message>
        <source>1 hour</source>
        <translation>1 saat</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Çıkış</translation>
    </message>
</context>
<context>
    <name>Window</name>
    <message>
        <source>Minimize</source>
        <translation>Simge durumuna küçült</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Kapat</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Ana sayfa</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Ayarlar</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Yardım</translation>
    </message>
    <message>
        <source>Filtering</source>
        <translation>Filtreleme</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Parola</translation>
    </message>
    <message>
        <source>&lt;a href="https://my.corvane.example/password-recovery"&gt;Forgot my password&lt;/a&gt;</source>
        <translation>&lt;a href="https://my.corvane.example/password-recovery"&gt;Parolamı unuttum&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>İptal</translation>
    </message>
    <message>
        <source>Unlock</source>
        <translation>Kilidi aç</translation>
    </message>
    <message>
        <source>Email</source>
        <translation>E-posta</translation>
    </message>
    <message>
        <source>Sign in</source>
        <translation>Oturum aç</translation>
    </message>
    <message>
        <source>&lt;a href="https://my.corvane.example/signup"&gt;No account?&lt;/a&gt;</source>
        <translation>&lt;a href="https://my.corvane.example/signup"&gt;Hesabınız yok mu?&lt;/a&gt;</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Genel</translation>
    </message>
    <message>
        <source>Protect settings with password</source>
        <translation>Ayarları parolayla koru</translation>
    </message>
    <message>
        <source>Show Agent icon in the system tray</source>
        <translation>Ajan simgesini sistem tepsisinde göster</translation>
    </message>
    <message>
        <source>Automatically check for updates</source>
        <translation>Güncellemeleri otomatik denetle</translation>
    </message>
    <message>
        <source>Network connections</source>
        <translation>Ağ bağlantıları</translation>
    </message>
    <message>
        <source>Protected network connections</source>
        <translation>Korunan ağ bağlantıları</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Gelişmiş</translation>
    </message>
    <message>
        <source>DNS server</source>
        <translation>DNS sunucusu</translation>
    </message>
    <message>
        <source>Use</source>
        <translation>Kullan</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <source>Website</source>
        <translation>Web sitesi</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Sürüm</translation>
    </message>
    <message>
        <source>To make the work of technical support more effective please send a system information report with a description of your problem</source>
        <translation>Teknik desteğin daha etkili olması için lütfen sorununuzun açıklamasıyla birlikte bir sistem bilgisi raporu gönderin</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Kılavuz</translation>
    </message>
    <message>
        <source>Get support</source>
        <translation>Destek al</translation>
    </message>
    <message>
        <source>System information</source>
        <translation>Sistem bilgisi</translation>
    </message>
    <message>
        <source>Check for updates</source>
        <translation>Güncellemeleri denetle</translation>
    </message>
    <message>
        <source>Profiles</source>
        <translation>Profiller</translation>
    </message>
    <message>
        <source>Content filtering settings</source>
        <translation>İçerik filtreleme ayarları</translation>
    </message>
    <message>
        <source>Categories of sites, exceptions and aliases</source>
        <translation>Site kategorileri, istisnalar ve takma adlar</translation>
    </message>
    <message>
        <source>Filtering profiles and local users</source>
        <translation>Filtreleme profilleri ve yerel kullanıcılar</translation>
    </message>
    <message>
        <source>Common settings</source>
        <translation>Genel ayarlar</translation>
    </message>
    <message>
        <source>Startup, updates and network connections</source>
        <translation>Başlangıç, güncellemeler ve ağ bağlantıları</translation>
    </message>
    <message>
        <source>Authentication settings</source>
        <translation>Kimlik doğrulama ayarları</translation>
    </message>
    <message>
        <source>Your login and password</source>
        <translation>Kullanıcı adınız ve parolanız</translation>
    </message>
    <message>
        <source>Your password is incorrect</source>
        <translation>Parolanız yanlış</translation>
    </message>
    <message>
        <source>Your login or password is incorrect</source>
        <translation>Kullanıcı adınız veya parolanız yanlış</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Etkin</translation>
    </message>
</context>
</TS>
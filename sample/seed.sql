-- Demo companies and their toggles. What each company shows:
--   1 Nordhavn Freight A/S          all 14 SMTP ids in canonical case; booleans -1; SSL 1, TLS 2;
--                                   body of about 400 characters with a line break
--   2 Brightwater Dental Group      all-lower-case ids (smtp_host, ...); booleans 0; SSL 0, TLS 1
--   3 Kestrel & Byrne Solicitors    mixed-case ids (Smtp_Port, smtp_UseSSL, ...); UseSSL 1 (not -1);
--                                   subject with single quotes
--   5 Halcyon Bakery Ltd            empty booleans; SSL 0, TLS 0; password with a semicolon
--   7 Marlowe Printworks            SSL 2, TLS 1; question mark in the subject
--   9 Ostrander Clinic              SSL 3, TLS 3; SMTP_TIMEOUT (contains smtp, none of the 14);
--                                   non-SMTP toggles INVOICE_PREFIX, DEFAULT_CURRENCY
--  12 Vantage Roofing Co.           SMTP toggles but no mpy row
--  15 Pemberton Garden Supplies     mpy row, no SMTP toggles (only non-SMTP ones)
--  18 Quillfeather Books            only host and port; no TLS type
--  21 Tidewater Marine Services     backslashes in user name and password; SSL 2, TLS 3
--  24 Ashgrove Veterinary Practice  lower-case smtp_tlstype; SSL 1, TLS 2; booleans -1, 0 and 1
--  30 Redfern Analytics GmbH        ids in three cases; semicolon-separated BCC list

insert into lysglb.mpy (fdid, description, vat_number, country) values
    (1,  'Nordhavn Freight A/S',          'DK31846257',    'DK'),
    (2,  'Brightwater Dental Group',      'GB284913377',   'GB'),
    (3,  'Kestrel & Byrne Solicitors',    'IE6388047V',    'IE'),
    (5,  'Halcyon Bakery Ltd',            'GB119204865',   'GB'),
    (7,  'Marlowe Printworks',            'GB402771530',   'GB'),
    (9,  'Ostrander Clinic',              'NL854120337B01', 'NL'),
    (15, 'Pemberton Garden Supplies',     'GB733019248',   'GB'),
    (18, 'Quillfeather Books',            'GB590366112',   'GB'),
    (21, 'Tidewater Marine Services',     'IE9825613C',    'IE'),
    (24, 'Ashgrove Veterinary Practice',  'GB661478093',   'GB'),
    (30, 'Redfern Analytics GmbH',        'DE287319645',   'DE');

insert into lysglb.toggles (entity, toggleid, togglevalue, toggle_group) values
    (1, 'SMTP_HOST',        'mail.nordhavnfreight.dk', 'mail'),
    (1, 'SMTP_FROM',        'dispatch@nordhavnfreight.dk', 'mail'),
    (1, 'SMTP_SUBJECT',     'Shipment notice', 'mail'),
    (1, 'SMTP_PORT',        '587', 'mail'),
    (1, 'SMTP_USERNAME',    'dispatch@nordhavnfreight.dk', 'mail'),
    (1, 'SMTP_PASSWORD',    'Havn-2024-Skib', 'mail'),
    (1, 'SMTP_SMTPAUTH',    '-1', 'mail'),
    (1, 'SMTP_BODY',        'Dear customer,

please find attached the shipment notice for your consignment. The goods left our Aarhus terminal this morning and are expected at the destination depot within three working days, customs clearance permitting. Tracking details, the packing list and the signed bill of lading are enclosed. Should any item arrive damaged, report it within 48 hours. Kind regards, Nordhavn Freight A/S dispatch team', 'mail'),
    (1, 'SMTP_USESSL',      '-1', 'mail'),
    (1, 'SMTP_SSLTYPE',     '1', 'mail'),
    (1, 'SMTP_TLSType',     '2', 'mail'),
    (1, 'SMTP_BCC',         'archive@nordhavnfreight.dk', 'mail'),
    (1, 'SMTP_REPLYTO',     'customerservice@nordhavnfreight.dk', 'mail'),
    (1, 'SMTP_REPLYTOUSER', '-1', 'mail'),

    (2, 'smtp_host',        'smtp.brightwaterdental.co.uk', 'mail'),
    (2, 'smtp_from',        'reception@brightwaterdental.co.uk', 'mail'),
    (2, 'smtp_subject',     'Appointment reminder', 'mail'),
    (2, 'smtp_port',        '25', 'mail'),
    (2, 'smtp_smtpauth',    '0', 'mail'),
    (2, 'smtp_usessl',      '0', 'mail'),
    (2, 'smtp_ssltype',     '0', 'mail'),
    (2, 'smtp_tlstype',     '1', 'mail'),
    (2, 'smtp_replytouser', '0', 'mail'),

    (3, 'Smtp_Host',        'smtp.kestrelbyrne.ie', 'mail'),
    (3, 'Smtp_Port',        '465', 'mail'),
    (3, 'Smtp_From',        'office@kestrelbyrne.ie', 'mail'),
    (3, 'SMTP_Subject',     'O''Brien''s report', 'mail'),
    (3, 'smtp_UseSSL',      '1', 'mail'),
    (3, 'Smtp_SmtpAuth',    '-1', 'mail'),
    (3, 'Smtp_Username',    'office@kestrelbyrne.ie', 'mail'),
    (3, 'Smtp_Password',    'K3strel!Byrne', 'mail'),
    (3, 'Smtp_SSLType',     '1', 'mail'),
    (3, 'Smtp_TlsType',     '2', 'mail'),

    (5, 'SMTP_HOST',        'smtp.halcyonbakery.co.uk', 'mail'),
    (5, 'SMTP_PORT',        '25', 'mail'),
    (5, 'SMTP_FROM',        'orders@halcyonbakery.co.uk', 'mail'),
    (5, 'SMTP_USERNAME',    'orders', 'mail'),
    (5, 'SMTP_PASSWORD',    'crust;crumb42', 'mail'),
    (5, 'SMTP_SMTPAUTH',    '', 'mail'),
    (5, 'SMTP_USESSL',      '', 'mail'),
    (5, 'SMTP_REPLYTOUSER', '', 'mail'),
    (5, 'SMTP_SSLTYPE',     '0', 'mail'),
    (5, 'SMTP_TLSType',     '0', 'mail'),

    (7, 'SMTP_HOST',        'mail.marloweprint.co.uk', 'mail'),
    (7, 'SMTP_PORT',        '587', 'mail'),
    (7, 'SMTP_FROM',        'proofs@marloweprint.co.uk', 'mail'),
    (7, 'SMTP_SUBJECT',     'Is your proof ready for approval?', 'mail'),
    (7, 'SMTP_SMTPAUTH',    '-1', 'mail'),
    (7, 'SMTP_USERNAME',    'proofs', 'mail'),
    (7, 'SMTP_PASSWORD',    'Inky-Drum-77', 'mail'),
    (7, 'SMTP_USESSL',      '-1', 'mail'),
    (7, 'SMTP_SSLTYPE',     '2', 'mail'),
    (7, 'SMTP_TLSType',     '1', 'mail'),
    (7, 'SMTP_REPLYTO',     'studio@marloweprint.co.uk', 'mail'),

    (9, 'SMTP_HOST',        'smtp.ostranderclinic.nl', 'mail'),
    (9, 'SMTP_PORT',        '2525', 'mail'),
    (9, 'SMTP_FROM',        'noreply@ostranderclinic.nl', 'mail'),
    (9, 'SMTP_SUBJECT',     'Uw afspraak', 'mail'),
    (9, 'SMTP_SMTPAUTH',    '-1', 'mail'),
    (9, 'SMTP_USERNAME',    'noreply', 'mail'),
    (9, 'SMTP_PASSWORD',    'Zorg#2024', 'mail'),
    (9, 'SMTP_USESSL',      '-1', 'mail'),
    (9, 'SMTP_SSLTYPE',     '3', 'mail'),
    (9, 'SMTP_TLSType',     '3', 'mail'),
    (9, 'SMTP_TIMEOUT',     '30', 'mail'),
    (9, 'INVOICE_PREFIX',   'OC-', 'billing'),
    (9, 'DEFAULT_CURRENCY', 'EUR', 'billing'),

    (12, 'SMTP_HOST',       'smtp.vantageroofing.com', 'mail'),
    (12, 'SMTP_PORT',       '587', 'mail'),
    (12, 'SMTP_FROM',       'quotes@vantageroofing.com', 'mail'),
    (12, 'SMTP_USESSL',     '-1', 'mail'),
    (12, 'SMTP_TLSType',    '2', 'mail'),

    (15, 'INVOICE_PREFIX',  'PGS/', 'billing'),
    (15, 'DEFAULT_CURRENCY', 'GBP', 'billing'),

    (18, 'SMTP_HOST',       'smtp.quillfeatherbooks.co.uk', 'mail'),
    (18, 'SMTP_PORT',       '25', 'mail'),

    (21, 'SMTP_HOST',       'exchange.tidewatermarine.ie', 'mail'),
    (21, 'SMTP_PORT',       '587', 'mail'),
    (21, 'SMTP_FROM',       'ops@tidewatermarine.ie', 'mail'),
    (21, 'SMTP_SMTPAUTH',   '-1', 'mail'),
    (21, 'SMTP_USERNAME',   'TIDEWATER\mailrelay', 'mail'),
    (21, 'SMTP_PASSWORD',   'Ebb\Flow\2024', 'mail'),
    (21, 'SMTP_USESSL',     '-1', 'mail'),
    (21, 'SMTP_SSLTYPE',    '2', 'mail'),
    (21, 'SMTP_TLSType',    '3', 'mail'),

    (24, 'SMTP_HOST',       'smtp.ashgrovevets.co.uk', 'mail'),
    (24, 'SMTP_PORT',       '587', 'mail'),
    (24, 'SMTP_SMTPAUTH',   '-1', 'mail'),
    (24, 'SMTP_USESSL',     '0', 'mail'),
    (24, 'SMTP_REPLYTOUSER', '1', 'mail'),
    (24, 'SMTP_SSLTYPE',    '1', 'mail'),
    (24, 'smtp_tlstype',    '2', 'mail'),
    (24, 'SMTP_REPLYTO',    'frontdesk@ashgrovevets.co.uk', 'mail'),

    (30, 'Smtp_Host',       'mail.redfern-analytics.de', 'mail'),
    (30, 'SMTP_PORT',       '465', 'mail'),
    (30, 'smtp_from',       'reports@redfern-analytics.de', 'mail'),
    (30, 'SMTP_BCC',        'audit@redfern-analytics.de;backup@redfern-analytics.de', 'mail');
